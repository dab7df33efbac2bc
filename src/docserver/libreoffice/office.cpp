#include "docserver/libreoffice/office.h"

#include <signal.h>
#include <unistd.h>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/UnknownPropertyException.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/document/XTypeDetection.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/lang/XMultiComponentFactory.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/lang/XServiceInfo.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/text/XBookmarksSupplier.hpp>
#include <com/sun/star/text/XPageCursor.hpp>
#include <com/sun/star/text/XParagraphCursor.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/text/XTextContent.hpp>
#include <com/sun/star/text/XTextDocument.hpp>
#include <com/sun/star/text/XTextTable.hpp>
#include <com/sun/star/text/XTextViewCursor.hpp>
#include <com/sun/star/text/XTextViewCursorSupplier.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/view/XLineCursor.hpp>
#include <com/sun/star/view/XViewCursor.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <osl/file.hxx>
#include <rtl/ustring.hxx>

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <optional>
#include <random>
#include <thread>

#include "docserver/libreoffice/markers.h"
#include "docserver/libreoffice/process.h"
#include "docserver/libreoffice/watchdog.h"
#include "platform/text.h"

#ifndef VARNIK_LIBREOFFICE_PROGRAM_DIR
#error "VARNIK_LIBREOFFICE_PROGRAM_DIR must name LibreOffice's program folder"
#endif

namespace libreoffice {

namespace fs = std::filesystem;
namespace css = com::sun::star;
using css::uno::Any;
using css::uno::Reference;
using css::uno::Sequence;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;
using rtl::OUString;
using rtl::OUStringToOString;

namespace {

constexpr const char* kProgramDir = VARNIK_LIBREOFFICE_PROGRAM_DIR;

OUString U(const std::string& utf8) {
  return OUString(utf8.data(), static_cast<sal_Int32>(utf8.size()), RTL_TEXTENCODING_UTF8);
}

std::string Utf8(const OUString& text) {
  return OUStringToOString(text, RTL_TEXTENCODING_UTF8).getStr();
}

std::wstring Wide(const OUString& text) {
  return platform::FromUtf8(Utf8(text));
}

// An exception's message without the source location LibreOffice appends to it.
std::wstring Reason(const css::uno::Exception& error) {
  std::wstring text = Wide(error.Message);
  std::size_t at = text.find(L" at ./");
  if (at == std::wstring::npos)
    at = text.find(L" at /");
  if (at != std::wstring::npos)
    text.erase(at);
  if (text.empty())
    text = L"no reason given.";
  return text;
}

std::wstring FileName(const std::wstring& path) {
  return platform::FromPath(platform::ToPath(path).filename());
}

std::wstring Seconds(std::chrono::milliseconds time) {
  return std::to_wstring((time.count() + 999) / 1000);
}

OUString FileUrl(const fs::path& path) {
  OUString url;
  if (osl::FileBase::getFileURLFromSystemPath(U(fs::absolute(path).string()), url) !=
      osl::FileBase::E_None) {
    throw OfficeError(L"Cannot use the path \"" + platform::FromPath(path) + L"\".");
  }
  return url;
}

css::beans::PropertyValue Property(const char* name, const Any& value) {
  css::beans::PropertyValue property;
  property.Name = OUString::createFromAscii(name);
  property.Value = value;
  return property;
}

// The local end of the bridge, made once per process and shared by every Office.
Reference<css::uno::XComponentContext> LocalContext() {
  // Never released: tearing UNO down while the program's statics are destroyed is not safe.
  static auto* context = new Reference<css::uno::XComponentContext>([] {
    // The bootstrap reads the office's own settings (type and service libraries) through this
    // variable; set once, before any other thread can use UNO.
    std::string rc = "vnd.sun.star.pathname:" + std::string(kProgramDir) + "/fundamentalrc";
    setenv("URE_BOOTSTRAP", rc.c_str(), 0);
    return cppu::defaultBootstrap_InitialComponentContext();
  }());
  return *context;
}

// Profiles and work folders left by programs that were killed, named with their process id.
void RemoveLeftovers() {
  static std::once_flag once;
  std::call_once(once, [] {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(fs::temp_directory_path(), error)) {
      std::string name = entry.path().filename().string();
      for (std::string prefix : {"varnik-lo-profile-", "varnik-lo-work-"}) {
        if (name.rfind(prefix, 0) != 0)
          continue;
        long owner = std::atol(name.c_str() + prefix.size());
        if (owner > 0 && owner != getpid() && kill(static_cast<pid_t>(owner), 0) != 0 &&
            errno == ESRCH) {
          std::error_code ignored;
          fs::remove_all(entry.path(), ignored);
        }
      }
    }
  });
}

std::string UniqueName() {
  static std::atomic<unsigned> counter{0};
  std::random_device random;
  return std::to_string(getpid()) + "_" + std::to_string(counter++) + "_" +
         std::to_string(random());
}

// The office process went away or stopped answering: worth one new start.
struct OfficeLost {
  std::wstring reason;
};

class ScopedDocument {
 public:
  explicit ScopedDocument(Reference<css::lang::XComponent> document)
      : document_(std::move(document)) {}
  ~ScopedDocument() {
    if (!document_.is())
      return;
    try {
      Reference<css::util::XCloseable> closeable(document_, UNO_QUERY);
      if (closeable.is()) {
        closeable->close(true);
      } else {
        document_->dispose();
      }
    } catch (...) {
      // A document that cannot be closed goes away with its process.
    }
  }
  ScopedDocument(const ScopedDocument&) = delete;
  ScopedDocument& operator=(const ScopedDocument&) = delete;
  const Reference<css::lang::XComponent>& get() const { return document_; }

 private:
  Reference<css::lang::XComponent> document_;
};

// A private folder for one piece of work, removed afterwards.
class ScratchFolder {
 public:
  ScratchFolder() {
    path_ = fs::temp_directory_path() / ("varnik-lo-work-" + UniqueName());
    fs::create_directories(path_);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

struct Marker {
  int paragraph = 0;
  int position = 0;  // characters of LibreOffice's paragraph before it
};

// The markers in LibreOffice's paragraph that starts at paragraphStart. Usually one at its start,
// but an anchored footnote or frame may come first, and the marker of an empty paragraph that
// LibreOffice dropped (one holding only a section break) moves into the next.
std::vector<Marker> MarkersIn(const Reference<css::text::XText>& text,
                              const Reference<css::text::XTextRange>& paragraphStart,
                              const OUString& prefix) {
  std::vector<Marker> markers;
  Reference<css::text::XTextCursor> cursor = text->createTextCursorByRange(paragraphStart);
  Reference<css::text::XParagraphCursor> paragraphCursor(cursor, UNO_QUERY_THROW);
  paragraphCursor->gotoEndOfParagraph(true);
  Reference<css::container::XEnumerationAccess> paragraphsAccess(cursor, UNO_QUERY_THROW);
  Reference<css::container::XEnumeration> paragraphs = paragraphsAccess->createEnumeration();
  if (!paragraphs->hasMoreElements())
    return markers;
  Reference<css::container::XEnumerationAccess> portionsAccess(paragraphs->nextElement(),
                                                               UNO_QUERY);
  if (!portionsAccess.is())
    return markers;  // a table, not a paragraph
  Reference<css::container::XEnumeration> portions = portionsAccess->createEnumeration();
  int position = 0;
  while (portions->hasMoreElements()) {
    Reference<css::beans::XPropertySet> portion(portions->nextElement(), UNO_QUERY_THROW);
    OUString type;
    portion->getPropertyValue("TextPortionType") >>= type;
    if (type != "Bookmark" && !markers.empty())
      break;  // markers come first: the rest is the paragraph's text
    if (type == "Bookmark") {
      Reference<css::container::XNamed> bookmark(portion->getPropertyValue("Bookmark"), UNO_QUERY);
      if (bookmark.is()) {
        OUString name = bookmark->getName();
        if (name.startsWith(prefix) && name.getLength() > prefix.getLength()) {
          markers.push_back({name.copy(prefix.getLength()).toInt32(), position});
        }
      }
    } else {
      Reference<css::text::XTextRange> range(portion, UNO_QUERY);
      if (range.is())
        position += range->getString().getLength();
    }
  }
  return markers;
}

// Maps one page start onto the marked paragraphs: the last marker before it in its paragraph,
// or in an earlier one when LibreOffice split a paragraph at its breaks, counting the text
// between. LibreOffice also adds paragraphs of its own (the anchor of a floating table): a page
// starting in one starts with the document's next paragraph.
std::optional<PageStart> MapPageStart(const Reference<css::text::XTextRange>& start,
                                      const Reference<css::text::XText>& body,
                                      const MarkedCopy& marked, const OUString& prefix) {
  Reference<css::text::XText> text = start->getText();
  Reference<css::text::XTextCursor> cursor = text->createTextCursorByRange(start);
  Reference<css::text::XParagraphCursor> paragraph(cursor, UNO_QUERY_THROW);
  paragraph->gotoStartOfParagraph(true);
  int offset = cursor->getString().getLength();
  cursor->collapseToStart();
  for (int step = 0; step < 64; ++step) {
    std::vector<Marker> markers = MarkersIn(text, cursor->getStart(), prefix);
    if (!markers.empty()) {
      const Marker* best = nullptr;
      for (const Marker& marker : markers) {
        if (marker.position <= offset &&
            (best == nullptr || marker.position > best->position ||
             (marker.position == best->position && marker.paragraph > best->paragraph))) {
          best = &marker;
        }
      }
      if (best == nullptr)
        return PageStart{0, markers.front().paragraph, 0};
      int breaks = best->paragraph < static_cast<int>(marked.breaks.size())
                       ? marked.breaks[static_cast<std::size_t>(best->paragraph)]
                       : 0;
      if (step > breaks) {
        if (best->paragraph + 1 >= marked.paragraphs)
          return std::nullopt;
        return PageStart{0, best->paragraph + 1, 0};
      }
      return PageStart{0, best->paragraph, offset - best->position};
    }
    if (!paragraph->gotoPreviousParagraph(false)) {
      // Nothing of the document comes before it.
      if (text == body)
        return PageStart{0, 0, 0};
      break;
    }
    Reference<css::text::XTextCursor> whole = text->createTextCursorByRange(cursor->getStart());
    Reference<css::text::XParagraphCursor>(whole, UNO_QUERY_THROW)->gotoEndOfParagraph(true);
    offset += whole->getString().getLength() + 1;  // the break that split the paragraph
  }
  return std::nullopt;
}

// Going down keeps the cursor's column: in a table row that starts a page, go back to the row's
// first cell, where the row starts. A row that began on an earlier page and goes on here starts
// nothing: the page starts where the cursor is.
void ToFirstCellOfRow(const Reference<css::text::XTextViewCursor>& view,
                      const Reference<css::text::XPageCursor>& pages) {
  Reference<css::beans::XPropertySet> properties(view, UNO_QUERY);
  if (!properties.is())
    return;
  Reference<css::table::XCell> cell;
  Reference<css::text::XTextTable> table;
  try {
    properties->getPropertyValue("Cell") >>= cell;
    properties->getPropertyValue("TextTable") >>= table;
  } catch (const css::beans::UnknownPropertyException&) {
    return;
  }
  if (!cell.is() || !table.is())
    return;
  OUString name;
  Reference<css::beans::XPropertySet>(cell, UNO_QUERY_THROW)->getPropertyValue("CellName") >>= name;
  // "C5", or "C5.1.2" in a split cell: column letters, then the row.
  sal_Int32 digits = 0;
  while (digits < name.getLength() && (name[digits] < '0' || name[digits] > '9'))
    ++digits;
  sal_Int32 dot = name.indexOf('.', digits);
  OUString row = dot < 0 ? name.copy(digits) : name.copy(digits, dot - digits);
  Reference<css::text::XText> first(table->getCellByName("A" + row), UNO_QUERY);
  if (!first.is())
    return;
  Reference<css::text::XTextRange> here = view->getStart();
  int page = pages->getPage();
  view->gotoRange(first->getStart(), false);
  if (pages->getPage() != page)
    view->gotoRange(here, false);
}

}  // namespace

#if defined(__SANITIZE_ADDRESS__)
// UNO keeps its type descriptions for the life of the process by design; the leak checker at exit
// would report them in every program that used an office.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libuno_cppu.so\nleak:libuno_sal.so\nleak:libuno_cppuhelpergcc3.so\n";
}
#endif

bool IsAvailable() {
  std::error_code ignored;
  return fs::exists(fs::path(kProgramDir) / "soffice", ignored);
}

class Office::Impl {
 public:
  explicit Impl(OfficeOptions options) : options_(options) {}
  ~Impl() { Stop(); }

  // Runs work on a live office; starts it if needed, and once more if it is lost meanwhile.
  template <typename Work>
  auto Run(const std::wstring& document, Work work) {
    if (!IsAvailable()) {
      throw OfficeError(L"LibreOffice is not installed (needed for \"" + document + L"\").");
    }
    std::wstring lastReason;
    for (int attempt = 0; attempt < 2; ++attempt) {
      try {
        // An office grows with every document it has loaded (some 70 KB each): a long run
        // starts it anew now and then, so that its memory stays flat.
        if (served_ >= options_.documentsPerStart)
          Stop();
        EnsureStarted();
        watchdog_.Arm(options_.callTimeout, process_.Id());
        struct Disarm {
          Watchdog& dog;
          ~Disarm() { dog.Disarm(); }
        } disarm{watchdog_};
        ++served_;
        try {
          return work();
        } catch (const OfficeError&) {
          if (OfficeGone())
            throw OfficeLost{LostReason()};
          throw;
        } catch (const css::lang::DisposedException&) {
          // The connection broke: the office died or is being killed.
          throw OfficeLost{LostReason()};
        } catch (const css::uno::Exception& error) {
          if (OfficeGone())
            throw OfficeLost{LostReason()};
          throw OfficeError(L"LibreOffice failed on \"" + document + L"\": " + Reason(error));
        }
      } catch (const OfficeLost& lost) {
        lastReason = lost.reason;
        Stop();
      }
    }
    throw OfficeError(L"LibreOffice failed on \"" + document + L"\" twice: " + lastReason);
  }

  // The import filter for a file: the one of its format, except for .doc, whose older
  // versions (Word 6 and 95) the Word 97 filter cannot read. There LibreOffice's own detection
  // decides, and only a Word filter is taken: a guess of plain text never is.
  OUString ImportFilter(const fs::path& path, Format format, const std::wstring& name) {
    OUString fixed = OUString::createFromAscii(FilterName(format));
    if (format != Format::Doc)
      return fixed;
    Reference<css::document::XTypeDetection> detection(
        context_->getServiceManager()->createInstanceWithContext(
            "com.sun.star.document.TypeDetection", context_),
        UNO_QUERY_THROW);
    Sequence<css::beans::PropertyValue> descriptor(1);
    descriptor.getArray()[0] = Property("URL", Any(FileUrl(path)));
    OUString type = detection->queryTypeByDescriptor(descriptor, true);
    OUString filter;
    Reference<css::container::XNameAccess> types(detection, UNO_QUERY);
    if (!type.isEmpty() && types.is() && types->hasByName(type)) {
      Sequence<css::beans::PropertyValue> props;
      types->getByName(type) >>= props;
      for (const auto& p : props)
        if (p.Name == "PreferredFilter")
          p.Value >>= filter;
    }
    if (filter.startsWith("MS Word") || filter.startsWith("MS WinWord"))
      return filter;
    throw OfficeError(
        L"LibreOffice does not read \"" + name + L"\" as a Word document" +
        (type.isEmpty() ? std::wstring(L".") : L" (it takes it for " + Wide(type) + L")."));
  }

  Reference<css::lang::XComponent> Load(const fs::path& path, Format format,
                                        const std::wstring& name) {
    Sequence<css::beans::PropertyValue> properties(6);
    auto* values = properties.getArray();
    values[0] = Property("Hidden", Any(true));
    values[1] = Property("ReadOnly", Any(true));
    values[2] = Property("FilterName", Any(ImportFilter(path, format, name)));
    values[3] = Property("MacroExecutionMode", Any(sal_Int16(0)));  // never
    values[4] = Property("UpdateDocMode", Any(sal_Int16(0)));       // no link updates
    values[5] = Property("Silent", Any(true));
    Reference<css::frame::XComponentLoader> loader(desktop_, UNO_QUERY_THROW);
    Reference<css::lang::XComponent> document;
    try {
      document = loader->loadComponentFromURL(FileUrl(path), "_blank", 0, properties);
    } catch (const css::uno::RuntimeException&) {
      throw;  // the office itself failed: decided by the caller
    } catch (const css::uno::Exception& error) {
      throw OfficeError(L"LibreOffice cannot open \"" + name + L"\" as " +
                        FormatDescription(format) + L": " + Reason(error));
    }
    if (!document.is()) {
      throw OfficeError(L"LibreOffice cannot open \"" + name + L"\" as " +
                        FormatDescription(format) + L".");
    }
    return document;
  }

  void Store(const Reference<css::lang::XComponent>& document, const fs::path& target,
             Format format) {
    Sequence<css::beans::PropertyValue> properties(2);
    auto* values = properties.getArray();
    values[0] = Property("FilterName", Any(OUString::createFromAscii(FilterName(format))));
    values[1] = Property("Overwrite", Any(true));
    Reference<css::frame::XStorable> storable(document, UNO_QUERY_THROW);
    storable->storeToURL(FileUrl(target), properties);
  }

  void Stop() {
    bool asked = false;
    if (desktop_.is() && process_.Running()) {
      watchdog_.Arm(std::chrono::seconds(10), process_.Id());
      try {
        asked = desktop_->terminate();
      } catch (...) {
        // Ending the process can break the call that ended it.
        asked = true;
      }
      watchdog_.Disarm();
    }
    desktop_.clear();
    context_.clear();
    if (asked)
      process_.WaitForExit(std::chrono::seconds(10));
    process_.Kill();
    if (!profile_.empty()) {
      std::error_code ignored;
      fs::remove_all(profile_, ignored);
      profile_.clear();
    }
  }

  bool Running() { return desktop_.is() && process_.Running(); }
  int Starts() const { return starts_; }
  int ProcessId() { return process_.Running() ? process_.Id() : -1; }
  // The office died or was killed for overrunning its time.
  bool OfficeGone() { return watchdog_.Fired() || !process_.Running(); }

 private:
  std::wstring LostReason() {
    if (watchdog_.Fired()) {
      return L"it did not answer within " + Seconds(options_.callTimeout) + L" seconds.";
    }
    return L"it stopped unexpectedly.";
  }

  void EnsureStarted() {
    if (Running())
      return;
    Stop();
    RemoveLeftovers();
    profile_ = fs::temp_directory_path() / ("varnik-lo-profile-" + UniqueName());
    fs::create_directories(profile_);
    std::string pipe = "varnik_lo_" + UniqueName();
    // The office runs in a process group of its own with a small watcher that kills the group
    // once this program is gone, so that a crash of ours never leaves an office behind.
    std::vector<std::string> arguments = {
        "/bin/sh",
        "-c",
        "parent=$1; shift; "
        "( while kill -0 \"$parent\" 2>/dev/null; do sleep 1; done; kill -KILL 0 ) & "
        "exec \"$@\"",
        "sh",
        std::to_string(getpid()),
        std::string(kProgramDir) + "/soffice",
        "--headless",
        "--invisible",
        "--nologo",
        "--nodefault",
        "--norestore",
        "--nolockcheck",
        "--nofirststartwizard",
        "-env:UserInstallation=" + Utf8(FileUrl(profile_ / "user-installation")),
        "--accept=pipe,name=" + pipe + ";urp;StarOffice.ComponentContext"};
    ++starts_;
    served_ = 0;
    if (!process_.Start(arguments, (profile_ / "soffice.log").string())) {
      throw OfficeLost{L"LibreOffice could not be started."};
    }

    Reference<css::bridge::XUnoUrlResolver> resolver;
    try {
      resolver = css::bridge::UnoUrlResolver::create(LocalContext());
    } catch (const cppu::BootstrapException& error) {
      Stop();
      throw OfficeError(L"LibreOffice's libraries cannot be used: " + Wide(error.getMessage()));
    } catch (const css::uno::Exception& error) {
      Stop();
      throw OfficeError(L"LibreOffice's libraries cannot be used: " + Reason(error));
    }
    OUString url = U("uno:pipe,name=" + pipe + ";urp;StarOffice.ComponentContext");
    watchdog_.Arm(options_.startTimeout, process_.Id());
    struct Disarm {
      Watchdog& dog;
      ~Disarm() { dog.Disarm(); }
    } disarm{watchdog_};
    for (;;) {
      try {
        context_.set(resolver->resolve(url), UNO_QUERY_THROW);
        desktop_ = css::frame::Desktop::create(context_);
        return;
      } catch (const css::connection::NoConnectException&) {
        // Not listening yet.
      } catch (const css::uno::Exception& error) {
        throw OfficeLost{L"LibreOffice did not start properly: " + Reason(error)};
      }
      if (watchdog_.Fired()) {
        throw OfficeLost{L"LibreOffice did not start within " + Seconds(options_.startTimeout) +
                         L" seconds."};
      }
      if (!process_.Running())
        throw OfficeLost{L"LibreOffice ended while starting."};
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  }

  OfficeOptions options_;
  Watchdog watchdog_;
  ChildProcess process_;
  fs::path profile_;
  Reference<css::uno::XComponentContext> context_;
  Reference<css::frame::XDesktop2> desktop_;
  int starts_ = 0;
  int served_ = 0;  // pieces of work given to the running office
};

namespace {

// Never trust the office: the written file must be there and be of the format asked for.
void CheckOutput(const fs::path& target, Format format, const std::wstring& source) {
  std::error_code error;
  auto size = fs::file_size(target, error);
  std::wstring name = FileName(platform::FromPath(target));
  if (error || size == 0) {
    throw OfficeError(L"LibreOffice did not write \"" + name + L"\" from \"" + source + L"\".");
  }
  std::optional<Format> written = DetectFormat(platform::FromPath(target));
  if (written != format) {
    throw OfficeError(L"LibreOffice wrote \"" + name + L"\" from \"" + source +
                      L"\", but it is not a " + FormatDescription(format) + L".");
  }
}

fs::path CheckSource(const std::wstring& source, Format format) {
  fs::path path = platform::ToPath(source);
  std::wstring name = FileName(source);
  std::error_code error;
  if (!fs::is_regular_file(path, error)) {
    throw OfficeError(L"The document \"" + source + L"\" does not exist.");
  }
  std::optional<Format> actual = DetectFormat(source);
  if (actual != format) {
    throw OfficeError(L"\"" + name + L"\" is not a " + FormatDescription(format) +
                      L" (its content is not of that format).");
  }
  return path;
}

}  // namespace

Office::Office() : Office(OfficeOptions{}) {}
Office::Office(OfficeOptions options) : impl_(std::make_unique<Impl>(options)) {}
Office::~Office() = default;

void Office::ConvertToDocx(const std::wstring& source, const std::wstring& target) {
  std::error_code error;
  if (!fs::is_regular_file(platform::ToPath(source), error)) {
    throw OfficeError(L"The document \"" + source + L"\" does not exist.");
  }
  std::optional<Format> format = DetectFormat(source);
  if (!format) {
    throw OfficeError(L"\"" + FileName(source) +
                      L"\" is not a Word document (.doc, .docx or .rtf) or is damaged.");
  }
  ConvertToDocx(source, target, *format);
}

void Office::ConvertToDocx(const std::wstring& source, const std::wstring& target, Format format) {
  Convert(source, format, target, Format::Docx);
}

void Office::ConvertFromDocx(const std::wstring& source, const std::wstring& target,
                             Format format) {
  Convert(source, Format::Docx, target, format);
}

void Office::Convert(const std::wstring& source, Format from, const std::wstring& target,
                     Format to) {
  fs::path input = CheckSource(source, from);
  fs::path output = platform::ToPath(target);
  std::error_code error;
  if (fs::equivalent(input, output, error)) {
    throw OfficeError(L"\"" + FileName(source) + L"\" cannot be converted onto itself.");
  }
  try {
    impl_->Run(FileName(source), [&] {
      std::error_code ignored;
      fs::remove(output, ignored);  // a stale file must not pass for the result
      ScopedDocument document(impl_->Load(input, from, FileName(source)));
      impl_->Store(document.get(), output, to);
    });
    CheckOutput(output, to, FileName(source));
  } catch (...) {
    std::error_code ignored;
    fs::remove(output, ignored);  // nothing half written stays behind
    throw;
  }
}

namespace {

// The pages of a loaded document whose body paragraphs carry the markers.
PageLayout LayOutPages(const Reference<css::frame::XModel>& model, const MarkedCopy& marked,
                       const std::wstring& name) {
  OUString prefix = U(marked.prefix);
  Reference<css::text::XText> body =
      Reference<css::text::XTextDocument>(model, UNO_QUERY_THROW)->getText();
  Reference<css::text::XTextViewCursorSupplier> supplier(model->getCurrentController(),
                                                         UNO_QUERY_THROW);
  Reference<css::text::XTextViewCursor> view = supplier->getViewCursor();
  Reference<css::text::XPageCursor> pages(view, UNO_QUERY_THROW);
  Reference<css::view::XLineCursor> lines(view, UNO_QUERY_THROW);
  Reference<css::view::XViewCursor> moves(view, UNO_QUERY_THROW);
  PageLayout layout;
  pages->jumpToLastPage();
  layout.pageCount = pages->getPage();
  for (int page = 1; page <= layout.pageCount; ++page) {
    pages->jumpToPage(static_cast<sal_Int16>(page));
    int reached = pages->getPage();
    if (reached == page) {
      pages->jumpToStartOfPage();
    } else if (reached < page) {
      // The page begins with something the cursor cannot enter (a table's repeated heading
      // rows) and the jump fell back to an earlier page: go down to the page's first line.
      for (int line = 0; line < 2000 && reached < page; ++line) {
        if (!moves->goDown(1, false))
          break;
        reached = pages->getPage();
      }
      if (reached != page)
        continue;  // the next text is further on: a blank page
      lines->gotoStartOfLine(false);
      ToFirstCellOfRow(view, pages);
    } else {
      continue;  // a blank page the layout put in
    }
    std::optional<PageStart> start = MapPageStart(view->getStart(), body, marked, prefix);
    if (!start) {
      throw OfficeError(L"Cannot tell where page " + std::to_wstring(page) + L" of \"" + name +
                        L"\" starts in LibreOffice's layout.");
    }
    start->page = page;
    layout.starts.push_back(*start);
  }
  return layout;
}

// Puts the markers into a loaded document, at the start of every body paragraph in the order
// its .docx lists them (cells row by row, nested tables in their cells). Returns how many.
int InsertMarkers(const Reference<css::frame::XModel>& model, const OUString& prefix) {
  Reference<css::lang::XMultiServiceFactory> factory(model, UNO_QUERY_THROW);
  int count = 0;
  std::function<void(const Reference<css::text::XText>&)> walk =
      [&](const Reference<css::text::XText>& text) {
        Reference<css::container::XEnumeration> items =
            Reference<css::container::XEnumerationAccess>(text, UNO_QUERY_THROW)
                ->createEnumeration();
        while (items->hasMoreElements()) {
          Any item = items->nextElement();
          Reference<css::text::XTextTable> table(item, UNO_QUERY);
          if (table.is()) {
            Sequence<OUString> cells = table->getCellNames();
            for (const OUString& cellName : cells) {
              Reference<css::text::XText> cell(table->getCellByName(cellName), UNO_QUERY);
              if (cell.is())
                walk(cell);
            }
            continue;
          }
          Reference<css::text::XTextContent> paragraph(item, UNO_QUERY);
          Reference<css::lang::XServiceInfo> info(item, UNO_QUERY);
          if (!paragraph.is() || !info.is() ||
              !info->supportsService("com.sun.star.text.Paragraph"))
            continue;
          Reference<css::text::XTextContent> mark(
              factory->createInstance("com.sun.star.text.Bookmark"), UNO_QUERY_THROW);
          Reference<css::container::XNamed>(mark, UNO_QUERY_THROW)
              ->setName(prefix + OUString::number(count++));
          Reference<css::text::XTextRange> start = paragraph->getAnchor()->getStart();
          text->insertTextContent(start, mark, false);
        }
      };
  walk(Reference<css::text::XTextDocument>(model, UNO_QUERY_THROW)->getText());
  return count;
}

}  // namespace

PageLayout Office::PageStarts(const std::wstring& docx) {
  fs::path from = CheckSource(docx, Format::Docx);
  std::wstring name = FileName(docx);
  ScratchFolder scratch;
  fs::path copy = scratch.path() / "marked.docx";
  MarkedCopy marked = WriteMarkedCopy(docx, platform::FromPath(copy));
  return impl_->Run(name, [&] {
    ScopedDocument document(impl_->Load(copy, Format::Docx, name));
    return LayOutPages(Reference<css::frame::XModel>(document.get(), UNO_QUERY_THROW), marked,
                       name);
  });
}

std::optional<PageLayout> Office::ConvertToDocxAndLayOut(const std::wstring& source,
                                                         const std::wstring& target,
                                                         Format format) {
  fs::path input = CheckSource(source, format);
  fs::path output = platform::ToPath(target);
  std::wstring name = FileName(source);
  std::error_code error;
  if (fs::equivalent(input, output, error)) {
    throw OfficeError(L"\"" + name + L"\" cannot be converted onto itself.");
  }
  ScratchFolder scratch;
  try {
    return impl_->Run(name, [&]() -> std::optional<PageLayout> {
      std::error_code ignored;
      fs::remove(output, ignored);  // a stale file must not pass for the result
      ScopedDocument document(impl_->Load(input, format, name));
      impl_->Store(document.get(), output, Format::Docx);
      CheckOutput(output, Format::Docx, name);
      // The markers' names and the paragraphs they count come from the .docx just written.
      MarkedCopy marked =
          WriteMarkedCopy(target, platform::FromPath(scratch.path() / "marked.docx"));
      Reference<css::frame::XModel> model(document.get(), UNO_QUERY_THROW);
      if (InsertMarkers(model, U(marked.prefix)) != marked.paragraphs)
        return std::nullopt;  // the loaded paragraphs do not match the written ones
      return LayOutPages(model, marked, name);
    });
  } catch (...) {
    std::error_code ignored;
    fs::remove(output, ignored);
    throw;
  }
}

std::vector<int> Office::ParagraphPages(const std::wstring& docx) {
  CheckSource(docx, Format::Docx);
  std::wstring name = FileName(docx);
  ScratchFolder scratch;
  fs::path copy = scratch.path() / "marked.docx";
  MarkedCopy marked = WriteMarkedCopy(docx, platform::FromPath(copy));
  return impl_->Run(name, [&] {
    ScopedDocument document(impl_->Load(copy, Format::Docx, name));
    Reference<css::frame::XModel> model(document.get(), UNO_QUERY_THROW);
    Reference<css::text::XTextViewCursorSupplier> supplier(model->getCurrentController(),
                                                           UNO_QUERY_THROW);
    Reference<css::text::XTextViewCursor> view = supplier->getViewCursor();
    Reference<css::text::XPageCursor> pages(view, UNO_QUERY_THROW);
    Reference<css::container::XNameAccess> bookmarks =
        Reference<css::text::XBookmarksSupplier>(model, UNO_QUERY_THROW)->getBookmarks();
    std::vector<int> result(static_cast<std::size_t>(marked.paragraphs), 0);
    for (int paragraph = 0; paragraph < marked.paragraphs; ++paragraph) {
      OUString bookmark = U(marked.prefix + std::to_string(paragraph));
      if (!bookmarks->hasByName(bookmark))
        continue;
      Reference<css::text::XTextContent> content(bookmarks->getByName(bookmark), UNO_QUERY);
      if (!content.is())
        continue;
      try {
        view->gotoRange(content->getAnchor()->getStart(), false);
        result[static_cast<std::size_t>(paragraph)] = pages->getPage();
      } catch (const css::uno::RuntimeException&) {
        if (impl_->OfficeGone())
          throw;
        // A place the view cursor cannot go (hidden text): no page.
      }
    }
    return result;
  });
}

void Office::Stop() {
  impl_->Stop();
}
bool Office::Running() const {
  return impl_->Running();
}
int Office::Starts() const {
  return impl_->Starts();
}
int Office::ProcessId() const {
  return impl_->ProcessId();
}

}  // namespace libreoffice
