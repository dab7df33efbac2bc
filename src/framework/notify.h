#pragma once
// Notifications: the strings controls raise ("click", "selectchanged", "itemclick", ...) and the
// receivers that get them.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace framework {

class CControlUI;

struct TNotifyUI {
  std::wstring sType;
  CControlUI* pSender = nullptr;
  std::intptr_t wParam = 0;
  std::intptr_t lParam = 0;
};

class INotifyUI {
 public:
  virtual ~INotifyUI() = default;
  virtual void Notify(TNotifyUI& msg) = 0;
};

// Handlers attached to one control; each returns false to stop the ones after it.
class CEventSource {
 public:
  using Handler = std::function<bool(TNotifyUI&)>;
  CEventSource& operator+=(Handler handler) {
    handlers_.push_back(std::move(handler));
    return *this;
  }
  bool operator()(TNotifyUI& msg) const {
    for (const auto& handler : handlers_) {
      if (!handler(msg))
        return false;
    }
    return true;
  }
  bool empty() const { return handlers_.empty(); }

 private:
  std::vector<Handler> handlers_;
};

inline constexpr wchar_t kNotifyClick[] = L"click";
inline constexpr wchar_t kNotifySelectChanged[] = L"selectchanged";
inline constexpr wchar_t kNotifyWindowInit[] = L"windowinit";
inline constexpr wchar_t kNotifyReturn[] = L"return";
inline constexpr wchar_t kNotifyItemClick[] = L"itemclick";
inline constexpr wchar_t kNotifyItemRClick[] = L"itemrclick";
inline constexpr wchar_t kNotifyItemDbClick[] = L"itemdbclick";
inline constexpr wchar_t kNotifyItemSelect[] = L"itemselect";

}  // namespace framework
