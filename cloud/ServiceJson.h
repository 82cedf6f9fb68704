#pragma once
// The service's JSON answers, parsed as far as they go: the parse stops at
// the first thing it cannot take (a syntax error, a number no double holds,
// nesting deeper than kMaxDepth) and keeps the value it built before the
// cut; text after a complete value is left alone. No answer can make it
// throw or recurse without end.
#include <QByteArray>
#include <picojson.h>

namespace servicejson {

constexpr size_t kMaxDepth = 256;  // deeper nesting is no answer of the service

picojson::value Parse(const QByteArray& bytes);

// The same parse, all or nothing: a null value unless the whole value parsed
// (text after it is still left alone).
picojson::value ParseWhole(const QByteArray& bytes);

}  // namespace servicejson
