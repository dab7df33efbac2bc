#pragma once
// The three pages of the plan tabs. Each is a plain container holding its built layout as its
// only child, or nothing when the layout cannot be built.

#include "framework/container.h"
#include "framework/paint_manager.h"

namespace ui {

class CBaseUI : public framework::CContainerUI {
 public:
  // Built with its own builder.
  explicit CBaseUI(const framework::ResourceArchive* archive);
};

class CChapterUI : public framework::CContainerUI {
 public:
  // Built with the main window's paint manager, so it shares its fonts and defaults.
  explicit CChapterUI(framework::CPaintManagerUI& manager);
};

class CAnyWhereUI : public framework::CContainerUI {
 public:
  explicit CAnyWhereUI(const framework::ResourceArchive* archive);
};

}  // namespace ui
