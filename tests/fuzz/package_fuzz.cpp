// The package reader on any bytes: the archive, its parts and its content types either read or
// fail with the server's own description; a package that opens also saves and opens again.
#include <cstddef>
#include <cstdint>
#include <fstream>

#include "automation/errors.h"
#include "docserver/package.h"
#include "docserver/piece_check.h"
#include "parts.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto in = fuzz::Scratch("in.docx");
  const auto out = fuzz::Scratch("out.docx");
  {
    std::ofstream file(in, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  try {
    docserver::Package package(in);
    std::string mainPart;
    for (const auto& name : package.PartNames()) {
      if (!package.Has(name))
        __builtin_trap();  // a listed part must be found by its name
      try {
        if (name.ends_with(".xml") || name.ends_with(".rels"))
          package.Xml(name);
        else
          package.Read(name);
      } catch (const automation::ServerException&) {
      }
    }
    try {
      for (auto rel : package.Xml("_rels/.rels").child("Relationships").children("Relationship")) {
        std::string target = docserver::ResolvePartName("", rel.attribute("Target").as_string());
        docserver::RelsPartName(target);
        if (std::string_view(rel.attribute("Type").as_string()).ends_with("/officeDocument"))
          mainPart = target;
      }
    } catch (const automation::ServerException&) {
    }
    docserver::PartProblems(package, mainPart);
    package.SaveAs(out);
    docserver::Package again(out);
    (void)again.PartNames();
  } catch (const automation::ServerException&) {
  }
  return 0;
}
