#include "framework/builder.h"

#include <pugixml.hpp>

#include "framework/button.h"
#include "framework/container.h"
#include "framework/edit.h"
#include "framework/gif_anim.h"
#include "framework/label.h"
#include "framework/list.h"
#include "framework/paint_manager.h"
#include "framework/progress.h"
#include "framework/resource_archive.h"
#include "framework/tree.h"
#include "framework/web_browser.h"

namespace framework {

namespace {

template <typename T>
std::unique_ptr<CControlUI> Make() {
  return std::make_unique<T>();
}

}  // namespace

std::unique_ptr<CControlUI> CreateFrameworkControl(std::wstring_view name) {
  using Factory = std::unique_ptr<CControlUI> (*)();
  static const std::pair<std::wstring_view, Factory> kFactories[] = {
      {L"Control", Make<CControlUI>},
      {L"Container", Make<CContainerUI>},
      {L"VerticalLayout", Make<CVerticalLayoutUI>},
      {L"HorizontalLayout", Make<CHorizontalLayoutUI>},
      {L"TabLayout", Make<CTabLayoutUI>},
      {L"Label", Make<CLabelUI>},
      {L"Text", Make<CTextUI>},
      {L"Button", Make<CButtonUI>},
      {L"Option", Make<COptionUI>},
      {L"CheckBox", Make<CCheckBoxUI>},
      {L"Edit", Make<CEditUI>},
      {L"Progress", Make<CProgressUI>},
      {L"GifAnim", Make<CGifAnimUI>},
      {L"List", Make<CListUI>},
      {L"ListHeader", Make<CListHeaderUI>},
      {L"ListHeaderItem", Make<CListHeaderItemUI>},
      {L"ListContainerElement", Make<CListContainerElementUI>},
      {L"ListLabelElement", Make<CListLabelElementUI>},
      {L"TreeView", Make<CTreeViewUI>},
      {L"TreeNode", Make<CTreeNodeUI>},
      {L"WebBrowser", Make<CWebBrowserUI>},
  };
  for (const auto& [element, factory] : kFactories) {
    if (element == name)
      return factory();
  }
  return nullptr;
}

struct CDialogBuilder::Impl {
  std::string file;
  std::string bytes;
  pugi::xml_document doc;
  bool parsed = false;
  const ResourceArchive* archive = nullptr;

  int LineOf(const pugi::xml_node& node) const {
    auto offset = static_cast<size_t>(std::max<ptrdiff_t>(0, node.offset_debug()));
    int line = 1;
    for (size_t i = 0; i < offset && i < bytes.size(); ++i) {
      if (bytes[i] == '\n')
        ++line;
    }
    return line;
  }

  [[noreturn]] void Fail(const pugi::xml_node& node, const std::string& what) const {
    throw LayoutError(file + ":" + std::to_string(LineOf(node)) + ": " + what);
  }
};

CDialogBuilder::CDialogBuilder() : impl_(std::make_unique<Impl>()) {}
CDialogBuilder::~CDialogBuilder() = default;

std::unique_ptr<CControlUI> CDialogBuilder::Create(std::wstring_view file,
                                                   const ResourceArchive* archive,
                                                   IDialogBuilderCallback* callback,
                                                   CPaintManagerUI* manager) {
  if (!impl_->parsed) {
    impl_->file = ToUtf8(file);
    impl_->archive = archive;
    if (archive == nullptr)
      throw LayoutError(impl_->file + ": no layout archive");
    auto bytes = archive->Read(file);
    if (!bytes)
      throw LayoutError(impl_->file + ": not in the layout archive");
    impl_->bytes = std::move(*bytes);
    pugi::xml_parse_result result = impl_->doc.load_buffer(
        impl_->bytes.data(), impl_->bytes.size(), pugi::parse_default, pugi::encoding_utf8);
    if (!result) {
      int line = 1;
      for (ptrdiff_t i = 0; i < result.offset && static_cast<size_t>(i) < impl_->bytes.size();
           ++i) {
        if (impl_->bytes[static_cast<size_t>(i)] == '\n')
          ++line;
      }
      throw LayoutError(impl_->file + ":" + std::to_string(line) + ": " + result.description());
    }
    impl_->parsed = true;
  }
  return Create(callback, manager);
}

std::unique_ptr<CControlUI> CDialogBuilder::Create(IDialogBuilderCallback* callback,
                                                   CPaintManagerUI* manager) {
  if (!impl_->parsed)
    throw LayoutError("layout not parsed");
  Impl& impl = *impl_;
  pugi::xml_node root = impl.doc.document_element();

  // Builds one element and its children; the parent adopts the result.
  std::function<std::unique_ptr<CControlUI>(const pugi::xml_node&)> build =
      [&](const pugi::xml_node& node) -> std::unique_ptr<CControlUI> {
    std::wstring name = FromUtf8(node.name());
    std::unique_ptr<CControlUI> control = CreateFrameworkControl(name);
    if (!control && callback != nullptr)
      control = callback->CreateControl(name);
    if (!control)
      impl.Fail(node, "unknown element <" + std::string(node.name()) + ">");
    try {
      if (manager != nullptr) {
        if (const std::wstring* defaults = manager->GetDefaultAttributeList(name))
          control->ApplyAttributeList(*defaults);
      }
      for (const pugi::xml_attribute& attr : node.attributes()) {
        if (!control->SetAttribute(FromUtf8(attr.name()), FromUtf8(attr.value()))) {
          impl.Fail(node, "unknown attribute '" + std::string(attr.name()) + "' of <" +
                              node.name() + ">");
        }
      }
    } catch (const AttributeError& error) {
      impl.Fail(node, std::string("<") + node.name() + ">: " + error.what());
    }
    for (const pugi::xml_node& child : node.children()) {
      if (child.type() != pugi::node_element)
        continue;
      auto* container = dynamic_cast<CContainerUI*>(control.get());
      // Built up from a std::string on the left: GCC 12 at -O3 warns of a false overlap
      // (-Wrestrict) inside std::string for "<" + std::string(...).
      if (container == nullptr)
        impl.Fail(child, std::string("<") + node.name() + "> cannot hold children");
      container->Add(build(child));
    }
    return control;
  };

  if (std::string_view(root.name()) != "Window") {
    auto control = build(root);
    if (manager != nullptr)
      control->SetManager(manager, nullptr);
    return control;
  }

  info_ = WindowInfo{};
  try {
    for (const pugi::xml_attribute& attr : root.attributes()) {
      std::string key = attr.name();
      std::wstring value = FromUtf8(attr.value());
      if (key == "size") {
        info_.size = ParseSize(value);
      } else if (key == "caption") {
        info_.caption = ParseEdges(value);
      } else if (key == "sizebox") {
        info_.sizeBox = ParseEdges(value);
      } else if (key == "mininfo") {
        info_.minSize = ParseSize(value);
      } else if (key == "bkcolor") {
        info_.bkColor = ParseColor(value);
      } else {
        impl.Fail(root, "unknown attribute '" + key + "' of <Window>");
      }
    }
  } catch (const AttributeError& error) {
    impl.Fail(root, std::string("<Window>: ") + error.what());
  }

  std::unique_ptr<CControlUI> result;
  for (const pugi::xml_node& child : root.children()) {
    if (child.type() != pugi::node_element)
      continue;
    std::string_view element = child.name();
    if (element == "Font") {
      int id = child.attribute("id").as_int(-1);
      if (id < 0)
        impl.Fail(child, "<Font> needs an id");
      for (const pugi::xml_attribute& attr : child.attributes()) {
        std::string_view key = attr.name();
        if (key != "id" && key != "name" && key != "size" && key != "bold" && key != "italic" &&
            key != "underline" && key != "default") {
          impl.Fail(child, "unknown attribute '" + std::string(key) + "' of <Font>");
        }
      }
      if (manager != nullptr) {
        manager->AddFont(id, FromUtf8(child.attribute("name").as_string()),
                         child.attribute("size").as_int(12), child.attribute("bold").as_bool(),
                         child.attribute("italic").as_bool(),
                         child.attribute("underline").as_bool());
        if (child.attribute("default").as_bool())
          manager->SetDefaultFontIndex(id);
      }
    } else if (element == "Default") {
      for (const pugi::xml_attribute& attr : child.attributes()) {
        std::string_view key = attr.name();
        if (key != "name" && key != "value")
          impl.Fail(child, "unknown attribute '" + std::string(key) + "' of <Default>");
      }
      if (manager != nullptr) {
        manager->AddDefaultAttributeList(FromUtf8(child.attribute("name").as_string()),
                                         FromUtf8(child.attribute("value").as_string()));
      }
    } else {
      if (result)
        impl.Fail(child, "<Window> holds more than one root control");
      result = build(child);
    }
  }
  if (!result)
    impl.Fail(root, "<Window> holds no control");
  if (manager != nullptr)
    result->SetManager(manager, nullptr);
  return result;
}

}  // namespace framework
