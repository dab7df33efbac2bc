#pragma once
// The two ways an automation call fails.

#include <cstdint>
#include <stdexcept>
#include <string>

namespace automation {

// Failure codes that servers here use, with the values Windows gives them.
namespace codes {
inline constexpr std::uint32_t kFail = 0x80004005u;                // E_FAIL
inline constexpr std::uint32_t kMemberNotFound = 0x80020003u;      // DISP_E_MEMBERNOTFOUND
inline constexpr std::uint32_t kTypeMismatch = 0x80020005u;        // DISP_E_TYPEMISMATCH
inline constexpr std::uint32_t kBadParamCount = 0x8002000Eu;       // DISP_E_BADPARAMCOUNT
inline constexpr std::uint32_t kBadIndex = 0x8002000Bu;            // DISP_E_BADINDEX
inline constexpr std::uint32_t kException = 0x80020009u;           // DISP_E_EXCEPTION
inline constexpr std::uint32_t kInvalidClassString = 0x800401F3u;  // CO_E_CLASSSTRING
inline constexpr std::uint32_t kServerDied = 0x80010108u;          // RPC_E_DISCONNECTED
}  // namespace codes

// The system's message text for a failure code ("Member not found.\r\n" style texts on
// Windows; the same wording elsewhere).
std::wstring SystemMessage(std::uint32_t code);

// The server reported an exception for the call, with its own description.
class ServerException : public std::exception {
 public:
  explicit ServerException(std::wstring description) : description_(std::move(description)) {}
  const std::wstring& Description() const { return description_; }
  const char* what() const noexcept override { return "automation server exception"; }

 private:
  std::wstring description_;
};

// Any other failure of a call: a code and the system's text for it.
class CallFailure : public std::exception {
 public:
  explicit CallFailure(std::uint32_t code) : code_(code), text_(SystemMessage(code)) {}
  CallFailure(std::uint32_t code, std::wstring text) : code_(code), text_(std::move(text)) {}
  std::uint32_t Code() const { return code_; }
  const std::wstring& Text() const { return text_; }
  const char* what() const noexcept override { return "automation call failed"; }

 private:
  std::uint32_t code_;
  std::wstring text_;
};

}  // namespace automation
