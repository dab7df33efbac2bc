#pragma once

#include <stdexcept>
#include <string>

namespace libreoffice {

// Every failure of this library: a clear English description, meant to be shown to the user
// (or carried on as the document server's own exception). what() is the same text in UTF-8.
class OfficeError : public std::runtime_error {
 public:
  explicit OfficeError(const std::wstring& description);
  const std::wstring& Description() const { return description_; }

 private:
  std::wstring description_;
};

}  // namespace libreoffice
