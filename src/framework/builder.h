#pragma once
// Builds controls from an XML layout in the layout archive. Loading is strict: an element or
// attribute the framework does not know is an error naming the file and line.

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include <wx/gdicmn.h>

#include "framework/attributes.h"
#include "framework/control.h"

namespace framework {

class CPaintManagerUI;
class ResourceArchive;

class LayoutError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Asked for elements the framework does not know; returns nullptr for none.
class IDialogBuilderCallback {
 public:
  virtual ~IDialogBuilderCallback() = default;
  virtual std::unique_ptr<CControlUI> CreateControl(std::wstring_view name) = 0;
};

// Attributes of the <Window> element.
struct WindowInfo {
  wxSize size;
  Edges caption;  // height of the caption area in top; left/right/bottom unused
  Edges sizeBox;
  wxSize minSize;
  std::optional<wxColour> bkColor;
};

class CDialogBuilder {
 public:
  CDialogBuilder();
  ~CDialogBuilder();
  CDialogBuilder(const CDialogBuilder&) = delete;
  CDialogBuilder& operator=(const CDialogBuilder&) = delete;

  // Parses the file (once; later calls reuse the parsed form) and builds its controls. With a
  // manager, the window's fonts and defaults go to it and the controls join it. Throws
  // LayoutError.
  std::unique_ptr<CControlUI> Create(std::wstring_view file, const ResourceArchive* archive,
                                     IDialogBuilderCallback* callback = nullptr,
                                     CPaintManagerUI* manager = nullptr);
  // Builds again from the file parsed before.
  std::unique_ptr<CControlUI> Create(IDialogBuilderCallback* callback = nullptr,
                                     CPaintManagerUI* manager = nullptr);
  const WindowInfo& GetWindowInfo() const { return info_; }

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
  WindowInfo info_;
};

// Creates a control of the framework by its element name, or nullptr.
std::unique_ptr<CControlUI> CreateFrameworkControl(std::wstring_view name);

}  // namespace framework
