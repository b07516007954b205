// The one way untrusted XML reaches TinyXML: the module's answers, the
// configuration files we send and the configuration inside a results file.
#pragma once
#include <tinyxml.h>

#include <string>
#include <string_view>

namespace zk7 {

// TinyXML parses elements by recursion: beyond this nesting a hostile text
// could exhaust the stack. Real configurations nest fewer than ten levels.
constexpr int ZK7_XML_MAX_DEPTH = 256;

// Deepest element nesting of the text up to its first NUL (where the parser
// stops too). Comments, CDATA sections, processing instructions, declarations
// and quoted attribute values open nothing.
int XmlElementDepth(std::string_view bytes);

// Parses bytes (up to the first NUL) into doc, encoding detected by the parser.
// Refuses a nesting deeper than ZK7_XML_MAX_DEPTH before parsing, and gives the
// parser its own copy, ended by enough NULs that no multi-byte lead byte can
// carry it past the end. False with the parser's error text, or ours.
bool ParseUntrustedXml(TiXmlDocument& doc, std::string_view bytes, std::string& strError);

} // namespace zk7
