#include "boards/PdfImageMerge.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <unordered_map>
#include <vector>

#include "boards/PdfSyntax.h"

namespace nq {
namespace {

using namespace pdf;

constexpr std::size_t Chunk = 64 * 1024;
constexpr std::size_t MaxHead = 16u << 20;   // a dictionary this long is not from a paint engine
constexpr std::size_t MaxTable = 256u << 20; // the cross-reference table and trailer

struct Object {
  int64_t Number = 0;
  int64_t Generation = 0;
  uint64_t Offset = 0;
  uint64_t SpanEnd = 0; // where the next object (or the table) starts
  uint64_t HeadEnd = 0; // the bytes from here to SpanEnd are copied as they stand
  uint64_t DataStart = 0;
  bool Stream = false;
  bool HasReferences = false;
  std::optional<int64_t> Integer; // the value of an object that is a single integer (a stream length)
  std::string ImageHead;          // the dictionary of an image, kept for comparing
};

struct Head {
  std::vector<Token> Tokens; // the object's value
  int64_t Number = 0;
  int64_t Generation = 0;
  std::size_t HeadEnd = 0;
  std::size_t DataStart = 0;
  bool Stream = false;
};

// "N G obj", a value, then "endobj" or "stream" and its end of line.
Step ParseHead(std::string_view text, bool complete, Head& head) {
  Lexer lexer(text, complete);
  Token token;
  Token first[3];
  for (Token& t : first) {
    const Step step = lexer.Next(t);
    if (step != Step::Token) return step == Step::End ? Step::Bad : step;
  }
  const auto number = IntegerOf(text, first[0]), generation = IntegerOf(text, first[1]);
  // The table names where each object starts, to the byte.
  if (first[0].Begin != 0 || !number || !generation || TextOf(text, first[2]) != "obj") return Step::Bad;
  head.Number = *number;
  head.Generation = *generation;
  head.Tokens.clear();
  int depth = 0;
  for (;;) {
    const Step step = lexer.Next(token);
    if (step != Step::Token) return step == Step::End ? Step::Bad : step;
    const std::string_view word = TextOf(text, token);
    if (depth == 0 && token.Type == Kind::Regular && (word == "endobj" || word == "stream")) {
      head.Stream = word == "stream";
      if (!head.Stream) {
        head.HeadEnd = token.End;
        return Step::Token;
      }
      head.HeadEnd = token.Begin;
      std::size_t at = token.End;
      if (at < text.size() && text[at] == '\r') ++at;
      if (at >= text.size()) return complete ? Step::Bad : Step::NeedMore;
      if (text[at] != '\n') return Step::Bad;
      head.DataStart = at + 1;
      return Step::Token;
    }
    if (token.Type == Kind::DictOpen || token.Type == Kind::ArrayOpen) ++depth;
    if ((token.Type == Kind::DictClose || token.Type == Kind::ArrayClose) && --depth < 0) return Step::Bad;
    head.Tokens.push_back(token);
  }
}

class Reader {
public:
  explicit Reader(const std::string& path) : In(path, std::ios::binary) {
    if (In) {
      In.seekg(0, std::ios::end);
      Size = static_cast<uint64_t>(In.tellg());
    }
  }
  bool Ok() const { return static_cast<bool>(In); }
  bool Read(uint64_t offset, std::size_t length, std::string& out) {
    out.resize(length);
    In.clear();
    In.seekg(static_cast<std::streamoff>(offset));
    In.read(out.data(), static_cast<std::streamsize>(length));
    return static_cast<std::size_t>(In.gcount()) == length;
  }
  uint64_t Size = 0;

private:
  std::ifstream In;
};

class Writer {
public:
  explicit Writer(const std::function<bool(std::string_view)>& write) : Write(write) {}
  void Put(std::string_view bytes) {
    Buffer.append(bytes);
    Written += bytes.size();
    if (Buffer.size() >= Chunk) Flush();
  }
  bool Flush() {
    if (!Buffer.empty() && Ok) Ok = Write(Buffer);
    Buffer.clear();
    return Ok;
  }
  bool Copy(Reader& reader, uint64_t from, uint64_t to, bool& readOk) {
    std::string piece;
    while (from < to && readOk) {
      const std::size_t length = static_cast<std::size_t>(std::min<uint64_t>(Chunk, to - from));
      readOk = reader.Read(from, length, piece);
      Put(piece);
      from += length;
    }
    return readOk;
  }
  uint64_t Written = 0;
  bool Ok = true;

private:
  const std::function<bool(std::string_view)>& Write;
  std::string Buffer;
};

struct XrefEntry {
  uint64_t Offset = 0;
  int64_t Generation = 0;
  bool InUse = false;
};

struct Document {
  std::vector<XrefEntry> Entries;
  std::string Trailer;                                    // the trailer dictionary as written
  std::vector<Object> Objects;                            // in file order
  std::map<int64_t, std::pair<int64_t, int64_t>> Dropped; // object -> the earlier identical one
  std::vector<uint32_t> References;                       // how many references name each object
  std::set<int64_t> Gone;                                 // lengths of dropped images
};

std::optional<uint64_t> FindTable(Reader& reader) {
  std::string tail;
  const std::size_t length = static_cast<std::size_t>(std::min<uint64_t>(reader.Size, 1024));
  if (!reader.Read(reader.Size - length, length, tail)) return std::nullopt;
  const std::size_t at = tail.rfind("startxref");
  if (at == std::string::npos) return std::nullopt;
  Lexer lexer(tail, true, at + 9);
  Token token;
  if (lexer.Next(token) != Step::Token) return std::nullopt;
  const auto offset = IntegerOf(tail, token);
  if (!offset || *offset <= 0 || static_cast<uint64_t>(*offset) >= reader.Size) return std::nullopt;
  return static_cast<uint64_t>(*offset);
}

// The classic table of a file written once: no earlier revision, no encryption, no stream table.
bool ReadTable(Reader& reader, uint64_t offset, Document& doc) {
  if (reader.Size - offset > MaxTable) return false;
  std::string text;
  if (!reader.Read(offset, static_cast<std::size_t>(reader.Size - offset), text)) return false;
  Lexer lexer(text, true);
  Token token;
  if (lexer.Next(token) != Step::Token || token.Begin != 0 || TextOf(text, token) != "xref") return false;
  for (;;) {
    if (lexer.Next(token) != Step::Token) return false;
    if (TextOf(text, token) == "trailer") break;
    Token countToken;
    if (lexer.Next(countToken) != Step::Token) return false;
    const auto start = IntegerOf(text, token), count = IntegerOf(text, countToken);
    // Every entry takes at least six bytes of the table: a count beyond that is not believed.
    if (!start || !count || *start < 0 || *count < 0 || *start > 8'000'000 ||
        static_cast<uint64_t>(*count) > text.size() / 6)
      return false;
    if (doc.Entries.size() < static_cast<std::size_t>(*start + *count))
      doc.Entries.resize(static_cast<std::size_t>(*start + *count));
    for (int64_t n = *start; n < *start + *count; ++n) {
      Token fields[3];
      for (Token& field : fields)
        if (lexer.Next(field) != Step::Token) return false;
      const auto at = IntegerOf(text, fields[0]), generation = IntegerOf(text, fields[1]);
      const std::string_view type = TextOf(text, fields[2]);
      if (!at || !generation || *at < 0 || (type != "n" && type != "f")) return false;
      doc.Entries[static_cast<std::size_t>(n)] = {static_cast<uint64_t>(*at), *generation, type == "n"};
    }
  }
  std::vector<Token> trailer;
  int depth = 0;
  do {
    if (lexer.Next(token) != Step::Token) return false;
    if (token.Type == Kind::DictOpen || token.Type == Kind::ArrayOpen) ++depth;
    if (token.Type == Kind::DictClose || token.Type == Kind::ArrayClose) --depth;
    trailer.push_back(token);
  } while (depth > 0);
  if (trailer.front().Type != Kind::DictOpen) return false;
  for (const char* refused : {"/Prev", "/XRefStm", "/Encrypt"})
    if (FindKey(text, trailer, refused)) return false;
  const auto size = FindKey(text, trailer, "/Size");
  const auto entries = size ? IntegerOf(text, trailer[size->first]) : std::nullopt;
  if (!entries || static_cast<std::size_t>(*entries) != doc.Entries.size()) return false;
  doc.Trailer = text.substr(trailer.front().Begin, trailer.back().End - trailer.front().Begin);
  return true;
}

bool ReadObject(Reader& reader, Object& object, std::vector<uint32_t>& references) {
  const uint64_t span = object.SpanEnd - object.Offset;
  std::size_t length = static_cast<std::size_t>(std::min<uint64_t>(span, 4096));
  std::string text;
  Head head;
  for (;;) {
    if (!reader.Read(object.Offset, length, text)) return false;
    const Step step = ParseHead(text, length == span, head);
    if (step == Step::Token) break;
    if (step != Step::NeedMore || length >= span || length >= MaxHead) return false;
    length = static_cast<std::size_t>(std::min<uint64_t>(span, length * 4));
  }
  if (head.Number != object.Number || head.Generation != object.Generation) return false;
  object.Stream = head.Stream;
  object.HeadEnd = object.Offset + head.HeadEnd;
  object.DataStart = object.Offset + head.DataStart;
  for (std::size_t i = 0; i < head.Tokens.size(); ++i) {
    if (!IsReference(text, head.Tokens, i)) continue;
    object.HasReferences = true;
    const int64_t target = *IntegerOf(text, head.Tokens[i]);
    if (target >= 0 && static_cast<std::size_t>(target) < references.size())
      ++references[static_cast<std::size_t>(target)];
  }
  if (!head.Stream && head.Tokens.size() == 1) object.Integer = IntegerOf(text, head.Tokens[0]);
  if (head.Stream) {
    const auto subtype = FindKey(text, head.Tokens, "/Subtype");
    if (subtype && TextOf(text, head.Tokens[subtype->first]) == "/Image") {
      const std::size_t from = head.Tokens.front().Begin, to = head.Tokens.back().End;
      object.ImageHead = text.substr(from, to - from);
    }
  }
  return true;
}

bool ReadObjects(Reader& reader, uint64_t table, Document& doc) {
  doc.References.assign(doc.Entries.size(), 0);
  for (std::size_t n = 1; n < doc.Entries.size(); ++n) {
    const XrefEntry& entry = doc.Entries[n];
    if (!entry.InUse) continue;
    Object object;
    object.Number = static_cast<int64_t>(n);
    object.Generation = entry.Generation;
    object.Offset = entry.Offset;
    doc.Objects.push_back(std::move(object));
  }
  std::sort(doc.Objects.begin(), doc.Objects.end(),
            [](const Object& a, const Object& b) { return a.Offset < b.Offset; });
  for (std::size_t i = 0; i < doc.Objects.size(); ++i) {
    Object& object = doc.Objects[i];
    object.SpanEnd = i + 1 < doc.Objects.size() ? doc.Objects[i + 1].Offset : table;
    if (object.Offset < 8 || object.SpanEnd <= object.Offset || object.SpanEnd > table) return false;
    if (!ReadObject(reader, object, doc.References)) return false;
  }
  return true;
}

// The tokens of an image's dictionary, up to the first thing that is not one.
std::vector<Token> HeadTokens(std::string_view text) {
  Lexer lexer(text, true);
  std::vector<Token> tokens;
  Token token;
  while (lexer.Next(token) == Step::Token)
    tokens.push_back(token);
  return tokens;
}

// The image's dictionary with references through the merges so far and without its length, which
// names a different object for each copy.
std::string ComparableHead(const Object& image, const Document& doc) {
  const std::string_view text = image.ImageHead;
  const std::vector<Token> tokens = HeadTokens(text);
  const auto length = FindKey(text, tokens, "/Length");
  std::string out;
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    if (length && i + 1 >= length->first && i < length->second) continue; // the key and its value
    if (IsReference(text, tokens, i)) {
      const auto merged = doc.Dropped.find(*IntegerOf(text, tokens[i]));
      if (merged != doc.Dropped.end()) {
        out += std::to_string(merged->second.first) + " " + std::to_string(merged->second.second) + " R ";
        i += 2;
        continue;
      }
    }
    out += TextOf(text, tokens[i]);
    out += ' ';
  }
  return out;
}

// The length of an image's data; lengthObject is set to the object holding it when it is one.
std::optional<uint64_t> StreamLength(const Object& image,
                                     const std::unordered_map<int64_t, const Object*>& byNumber,
                                     int64_t& lengthObject) {
  lengthObject = 0;
  const std::string_view text = image.ImageHead;
  const std::vector<Token> tokens = HeadTokens(text);
  const auto length = FindKey(text, tokens, "/Length");
  if (!length) return std::nullopt;
  std::optional<int64_t> value;
  if (length->second - length->first == 1) {
    value = IntegerOf(text, tokens[length->first]);
  } else if (IsReference(text, tokens, length->first)) {
    const auto found = byNumber.find(*IntegerOf(text, tokens[length->first]));
    if (found != byNumber.end() && !found->second->Stream) {
      value = found->second->Integer;
      lengthObject = found->first;
    }
  }
  if (!value || *value < 0) return std::nullopt;
  return static_cast<uint64_t>(*value);
}

// The stream's bytes run exactly to its "endstream".
bool StreamEndsRight(Reader& reader, const Object& image, uint64_t length) {
  const uint64_t end = image.DataStart + length;
  if (end > image.SpanEnd) return false;
  std::string after;
  const std::size_t room = static_cast<std::size_t>(std::min<uint64_t>(image.SpanEnd - end, 12));
  if (!reader.Read(end, room, after)) return false;
  std::size_t at = 0;
  while (at < after.size() && (after[at] == '\r' || after[at] == '\n'))
    ++at;
  return after.compare(at, 9, "endstream") == 0;
}

uint64_t HashRange(Reader& reader, uint64_t from, uint64_t length, bool& ok) {
  uint64_t hash = 1469598103934665603ull;
  std::string piece;
  for (uint64_t done = 0; done < length && ok; done += piece.size()) {
    ok = reader.Read(from + done, static_cast<std::size_t>(std::min<uint64_t>(Chunk, length - done)), piece);
    for (const char c : piece)
      hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
  }
  return hash;
}

bool SameBytes(Reader& reader, uint64_t a, uint64_t b, uint64_t length, bool& ok) {
  std::string first, second;
  for (uint64_t done = 0; done < length && ok; done += first.size()) {
    const std::size_t piece = static_cast<std::size_t>(std::min<uint64_t>(Chunk, length - done));
    ok = reader.Read(a + done, piece, first) && reader.Read(b + done, piece, second);
    if (ok && first != second) return false;
  }
  return ok;
}

// Objects are taken in file order, so a soft mask merged before its image makes the images' dictionaries
// equal too.
bool FindRepeats(Reader& reader, Document& doc) {
  std::unordered_map<int64_t, const Object*> byNumber;
  for (const Object& object : doc.Objects)
    byNumber.emplace(object.Number, &object);
  struct Seen {
    const Object* Image;
    uint64_t Length;
  };
  std::unordered_map<std::string, Seen> seen;
  bool ok = true;
  for (const Object& image : doc.Objects) {
    if (image.ImageHead.empty()) continue;
    int64_t lengthObject = 0;
    const std::optional<uint64_t> length = StreamLength(image, byNumber, lengthObject);
    if (!length || !StreamEndsRight(reader, image, *length)) continue; // left as it is
    const std::string key = ComparableHead(image, doc) + "|" + std::to_string(*length) + "|" +
                            std::to_string(HashRange(reader, image.DataStart, *length, ok));
    if (!ok) return false;
    const auto [found, added] = seen.emplace(key, Seen{&image, *length});
    if (added) continue;
    const Object& first = *found->second.Image;
    if (SameBytes(reader, first.DataStart, image.DataStart, *length, ok)) {
      doc.Dropped[image.Number] = {first.Number, first.Generation};
      // The object holding a dropped image's length goes with it when nothing else names it.
      if (lengthObject > 0 && doc.References[static_cast<std::size_t>(lengthObject)] == 1)
        doc.Gone.insert(lengthObject);
    }
    if (!ok) return false;
  }
  return true;
}

// The object's dictionary with references to dropped objects turned to the ones kept.
bool WriteHead(Reader& reader, const Object& object, const Document& doc, Writer& out) {
  std::string text;
  if (!reader.Read(object.Offset, static_cast<std::size_t>(object.HeadEnd - object.Offset), text))
    return false;
  Lexer lexer(text, true);
  std::vector<Token> tokens;
  Token token;
  for (Step step; (step = lexer.Next(token)) != Step::End;) {
    if (step != Step::Token) return false;
    tokens.push_back(token);
  }
  std::size_t copied = 0;
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    if (!IsReference(text, tokens, i)) continue;
    const auto merged = doc.Dropped.find(*IntegerOf(text, tokens[i]));
    if (merged == doc.Dropped.end()) continue;
    out.Put(std::string_view(text).substr(copied, tokens[i].Begin - copied));
    out.Put(std::to_string(merged->second.first) + " " + std::to_string(merged->second.second));
    copied = tokens[i + 1].End;
  }
  out.Put(std::string_view(text).substr(copied));
  return true;
}

char* Entry(char* line, uint64_t offset, int64_t generation, char type) {
  std::snprintf(line, 21, "%010llu %05lld %c \n", static_cast<unsigned long long>(offset),
                static_cast<long long>(std::clamp<int64_t>(generation, 0, 65535)), type);
  return line;
}

bool WriteMerged(Reader& reader, const Document& doc, Writer& out) {
  bool readOk = true;
  std::vector<uint64_t> offsets(doc.Entries.size(), 0);
  out.Copy(reader, 0, doc.Objects.empty() ? 0 : doc.Objects.front().Offset, readOk);
  for (const Object& object : doc.Objects) {
    if (doc.Dropped.count(object.Number) != 0 || doc.Gone.count(object.Number) != 0) continue;
    offsets[static_cast<std::size_t>(object.Number)] = out.Written;
    uint64_t from = object.Offset;
    if (object.HasReferences) {
      if (!WriteHead(reader, object, doc, out)) return false;
      from = object.HeadEnd;
    }
    if (!out.Copy(reader, from, object.SpanEnd, readOk)) return false;
  }
  const uint64_t table = out.Written;
  // Free entries chain from object 0 through every unused number back to 0.
  std::vector<std::size_t> free;
  for (std::size_t n = 1; n < doc.Entries.size(); ++n)
    if (!doc.Entries[n].InUse || doc.Dropped.count(static_cast<int64_t>(n)) != 0 ||
        doc.Gone.count(static_cast<int64_t>(n)) != 0)
      free.push_back(n);
  out.Put("xref\n0 " + std::to_string(doc.Entries.size()) + "\n");
  char line[21];
  out.Put(Entry(line, free.empty() ? 0 : free.front(), 65535, 'f'));
  std::size_t nextFree = 0;
  for (std::size_t n = 1; n < doc.Entries.size(); ++n) {
    const XrefEntry& entry = doc.Entries[n];
    if (nextFree < free.size() && free[nextFree] == n) {
      ++nextFree;
      const uint64_t next = nextFree < free.size() ? free[nextFree] : 0;
      out.Put(Entry(line, next, entry.InUse ? entry.Generation + 1 : entry.Generation, 'f'));
    } else {
      out.Put(Entry(line, offsets[n], entry.Generation, 'n'));
    }
  }
  out.Put("trailer\n" + doc.Trailer + "\nstartxref\n" + std::to_string(table) + "\n%%EOF\n");
  return readOk;
}

} // namespace

PdfMergeResult MergeRepeatedImages(const std::string& path,
                                   const std::function<bool(std::string_view)>& write) {
  PdfMergeResult result;
  Reader reader(path);
  if (!reader.Ok()) return result;
  Document doc;
  std::string start;
  const std::optional<uint64_t> table =
      reader.Read(0, 5, start) && start == "%PDF-" ? FindTable(reader) : std::nullopt;
  result.Understood =
      table && ReadTable(reader, *table, doc) && ReadObjects(reader, *table, doc) && FindRepeats(reader, doc);
  Writer out(write);
  if (!result.Understood || doc.Dropped.empty()) {
    bool readOk = true;
    result.Read = out.Copy(reader, 0, reader.Size, readOk);
  } else {
    result.Read = WriteMerged(reader, doc, out);
    result.ImagesMerged = static_cast<int>(doc.Dropped.size());
  }
  result.Written = out.Flush();
  return result;
}

} // namespace nq
