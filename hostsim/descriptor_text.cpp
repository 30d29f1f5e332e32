#include "hostsim/descriptor_text.h"

#include "hostsim/host_error.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace hostsim {

namespace {

// ---- writing ----

struct Kind {
    DescriptorTypeID type;
    const char* word;
};
constexpr Kind kKinds[] = {
    {typeInteger, "integer"},   {typeFloat, "float"},         {typeUnitFloat, "unitFloat"},
    {typeBoolean, "boolean"},   {typeChar, "text"},           {typeEnumerated, "enum"},
    {typeObject, "object"},     {typeGlobalObject, "globalObject"}, {typeType, "class"},
    {typeGlobalClass, "globalClass"}, {typeAlias, "alias"}, {typeValueList, "list"},
    {typeObjectSpecifier, "reference"},
};

struct Form {
    ReferenceForm form;
    const char* word;
};
constexpr Form kForms[] = {
    {ReferenceForm::Class, "class"},       {ReferenceForm::Property, "property"},
    {ReferenceForm::Enumerated, "enum"},   {ReferenceForm::Name, "name"},
    {ReferenceForm::Index, "index"},       {ReferenceForm::Identifier, "identifier"},
    {ReferenceForm::Offset, "offset"},
};

const char* KindWord(DescriptorTypeID type) {
    for (const Kind& k : kKinds) {
        if (k.type == type) return k.word;
    }
    return nullptr;
}

std::string QuoteText(const std::string& text) {
    std::string out = "\"";
    for (const char ch : text) {
        const unsigned char c = static_cast<unsigned char>(ch);
        switch (c) {
            case '\\': out += "\\\\"; break;
            case '"': out += "\\\""; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    char hex[8];
                    std::snprintf(hex, sizeof hex, "\\x%02X", c);
                    out += hex;
                } else {
                    out += ch;
                }
        }
    }
    return out + "\"";
}

std::string NumberText(double v) {
    char buffer[64];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, v);
    return std::string(buffer, r.ptr);
}

std::string Indent(int depth) { return std::string(std::size_t(depth) * 4, ' '); }

void WriteItems(std::string& out, const Descriptor& d, int depth, const DescriptorAnnotator* annotate);

void WriteValue(std::string& out, const DescriptorValue& v, int depth) {
    const char* word = KindWord(v.type);
    if (!word) {
        // Only the kinds above can be built; anything else is written so that reading refuses it.
        out += "unknown " + CodeText(v.type);
        return;
    }
    out += word;
    switch (v.type) {
        case typeInteger: out += " " + std::to_string(v.integer); break;
        case typeFloat: out += " " + NumberText(v.number); break;
        case typeUnitFloat: out += " " + CodeText(v.unit) + " " + NumberText(v.number); break;
        case typeBoolean: out += v.boolean ? " true" : " false"; break;
        case typeChar:
        case typeAlias: out += " " + QuoteText(v.text); break;
        case typeEnumerated: out += " " + CodeText(v.enumType) + " " + CodeText(v.enumValue); break;
        case typeType:
        case typeGlobalClass: out += " " + CodeText(v.classId); break;
        case typeObject:
        case typeGlobalObject:
            out += " " + CodeText(v.classId) + " {\n";
            WriteItems(out, v.AsObject(), depth + 1, nullptr);
            out += Indent(depth) + "}";
            break;
        case typeValueList:
            out += " [\n";
            for (const DescriptorValue& item : v.list) {
                out += Indent(depth + 1);
                WriteValue(out, item, depth + 1);
                out += "\n";
            }
            out += Indent(depth) + "]";
            break;
        case typeObjectSpecifier:
            out += " [";
            for (const ReferenceItem& item : v.reference) {
                for (const Form& f : kForms) {
                    if (f.form == item.form) out += std::string(" ") + f.word;
                }
                out += " " + CodeText(item.desiredClass);
                switch (item.form) {
                    case ReferenceForm::Class: break;
                    case ReferenceForm::Property: out += " " + CodeText(item.code); break;
                    case ReferenceForm::Enumerated: out += " " + CodeText(item.code) + " " + CodeText(item.value); break;
                    case ReferenceForm::Name: out += " " + QuoteText(item.name); break;
                    case ReferenceForm::Index:
                    case ReferenceForm::Identifier: out += " " + std::to_string(uint32(item.number)); break;
                    case ReferenceForm::Offset: out += " " + std::to_string(item.number); break;
                }
            }
            out += " ]";
            break;
        default: break;
    }
}

void WriteItems(std::string& out, const Descriptor& d, int depth, const DescriptorAnnotator* annotate) {
    for (const auto& [key, value] : d.items()) {
        std::string item = Indent(depth) + CodeText(key) + " ";
        WriteValue(item, value, depth);
        if (annotate && *annotate) {
            // The comment goes on the item's first line, also for objects and lists.
            const std::string note = (*annotate)(key, value);
            if (!note.empty()) item.insert(std::min(item.find('\n'), item.size()), "  # " + note);
        }
        out += item + "\n";
    }
}

// ---- reading ----

enum class TokenKind { End, Word, Code, String, Open, Close, OpenList, CloseList };

struct Token {
    TokenKind kind = TokenKind::End;
    std::string text;  // Word, String
    uint32 code = 0;   // Code
    int line = 0;
};

class Reader {
public:
    Reader(const std::string& text, const std::string& origin) : text_(text), origin_(origin) { Advance(); }

    const Token& Peek() const { return token_; }
    Token Take() {
        Token t = token_;
        Advance();
        return t;
    }

    [[noreturn]] void Fail(const std::string& what, int line = 0) const {
        throw HostError(origin_ + ":" + std::to_string(line ? line : token_.line) + ": " + what);
    }

    std::string Describe(const Token& t) const {
        switch (t.kind) {
            case TokenKind::End: return "the end of the text";
            case TokenKind::Word: return "'" + t.text + "'";
            case TokenKind::Code: return "the code " + CodeText(t.code);
            case TokenKind::String: return "a text in quotes";
            case TokenKind::Open: return "'{'";
            case TokenKind::Close: return "'}'";
            case TokenKind::OpenList: return "'['";
            case TokenKind::CloseList: return "']'";
        }
        return "?";
    }

    uint32 ExpectCode(const char* what) {
        if (token_.kind != TokenKind::Code) Fail(std::string("expected ") + what + " (a code like 'abcd'), found " + Describe(token_));
        return Take().code;
    }
    std::string ExpectString(const char* what) {
        if (token_.kind != TokenKind::String) Fail(std::string("expected ") + what + " in double quotes, found " + Describe(token_));
        return Take().text;
    }
    std::string ExpectWord(const char* what) {
        if (token_.kind != TokenKind::Word) Fail(std::string("expected ") + what + ", found " + Describe(token_));
        return Take().text;
    }
    void Expect(TokenKind kind, const char* what) {
        if (token_.kind != kind) Fail(std::string("expected ") + what + ", found " + Describe(token_));
        Take();
    }

    int64_t ExpectInteger(const char* what, int64_t min, int64_t max) {
        const int line = token_.line;
        const std::string word = ExpectWord(what);
        int64_t v = 0;
        const char* first = word.data();
        if (word.size() > 1 && word[0] == '+' && word[1] >= '0' && word[1] <= '9') ++first;
        const auto r = std::from_chars(first, word.data() + word.size(), v);
        if (r.ec == std::errc::result_out_of_range || (r.ec == std::errc() && r.ptr == word.data() + word.size() && (v < min || v > max)))
            Fail(std::string(what) + " '" + word + "' is out of range (" + std::to_string(min) + " to " + std::to_string(max) + ")", line);
        if (r.ec != std::errc() || r.ptr != word.data() + word.size())
            Fail(std::string("expected ") + what + " (a whole number), found '" + word + "'", line);
        return v;
    }

    double ExpectNumber(const char* what) {
        const int line = token_.line;
        const std::string word = ExpectWord(what);
        double v = 0;
        const char* first = word.data();
        if (word.size() > 1 && word[0] == '+' && word[1] != '-') ++first;
        const auto r = std::from_chars(first, word.data() + word.size(), v);
        if (r.ec != std::errc() || r.ptr != word.data() + word.size())
            Fail(std::string("expected ") + what + " (a number), found '" + word + "'", line);
        return v;
    }

private:
    void Advance() {
        SkipSpace();
        token_ = Token{};
        token_.line = line_;
        if (pos_ >= text_.size()) return;
        const char c = text_[pos_];
        switch (c) {
            case '{': token_.kind = TokenKind::Open; ++pos_; return;
            case '}': token_.kind = TokenKind::Close; ++pos_; return;
            case '[': token_.kind = TokenKind::OpenList; ++pos_; return;
            case ']': token_.kind = TokenKind::CloseList; ++pos_; return;
            case '\'': ReadCode(); return;
            case '"': ReadString(); return;
            default: break;
        }
        if (!IsWordChar(c)) {
            char shown[8];
            std::snprintf(shown, sizeof shown, (c >= 0x20 && c < 0x7F) ? "'%c'" : "0x%02X", (c >= 0x20 && c < 0x7F) ? c : (unsigned char)c);
            Fail(std::string("unexpected character ") + shown);
        }
        const std::size_t start = pos_;
        while (pos_ < text_.size() && IsWordChar(text_[pos_])) ++pos_;
        token_.kind = TokenKind::Word;
        token_.text = text_.substr(start, pos_ - start);
        if (token_.text.size() == 10 && token_.text.compare(0, 2, "0x") == 0) {
            uint32 v = 0;
            const auto r = std::from_chars(token_.text.data() + 2, token_.text.data() + 10, v, 16);
            if (r.ec == std::errc() && r.ptr == token_.text.data() + 10) {
                token_.kind = TokenKind::Code;
                token_.code = v;
            }
        }
    }

    static bool IsWordChar(char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
               c == '+' || c == '.';
    }

    void SkipSpace() {
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            if (c == '\n') {
                ++line_;
                ++pos_;
            } else if (c == ' ' || c == '\t' || c == '\r') {
                ++pos_;
            } else if (c == '#') {
                while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
            } else {
                break;
            }
        }
    }

    void ReadCode() {
        // Exactly four characters between the quotes, whatever they are (a code may hold a quote).
        if (pos_ + 5 >= text_.size()) Fail("a code must be four characters in single quotes");
        uint32 v = 0;
        for (std::size_t i = 1; i <= 4; ++i) {
            const char c = text_[pos_ + i];
            if (c == '\n') Fail("a code must be four characters in single quotes");
            v = (v << 8) | uint8(c);
        }
        if (text_[pos_ + 5] != '\'') Fail("a code must be four characters in single quotes");
        pos_ += 6;
        token_.kind = TokenKind::Code;
        token_.code = v;
    }

    void ReadString() {
        ++pos_;
        std::string out;
        while (true) {
            if (pos_ >= text_.size() || text_[pos_] == '\n') Fail("text in double quotes does not end on its line");
            const char c = text_[pos_++];
            if (c == '"') break;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (pos_ >= text_.size()) Fail("text ends inside an escape");
            const char e = text_[pos_++];
            switch (e) {
                case '\\': out += '\\'; break;
                case '"': out += '"'; break;
                case 'n': out += '\n'; break;
                case 'r': out += '\r'; break;
                case 't': out += '\t'; break;
                case 'x': {
                    uint32 v = 0;
                    const auto r = pos_ + 2 <= text_.size()
                                       ? std::from_chars(text_.data() + pos_, text_.data() + pos_ + 2, v, 16)
                                       : std::from_chars_result{nullptr, std::errc::invalid_argument};
                    if (r.ec != std::errc() || r.ptr != text_.data() + pos_ + 2) Fail("\\x needs two hex digits");
                    out += char(v);
                    pos_ += 2;
                    break;
                }
                default: Fail(std::string("unknown escape \\") + e);
            }
        }
        token_.kind = TokenKind::String;
        token_.text = std::move(out);
    }

    const std::string& text_;
    std::string origin_;
    std::size_t pos_ = 0;
    int line_ = 1;
    Token token_;
};

Descriptor ReadItems(Reader& in, int depth, TokenKind end);

DescriptorValue ReadValue(Reader& in, int depth) {
    if (depth > kMaxDescriptorDepth) in.Fail("values are nested too deeply");
    const int line = in.Peek().line;
    const std::string word = in.ExpectWord("a value kind (integer, float, unitFloat, boolean, text, enum, object, ...)");
    DescriptorTypeID type = 0;
    for (const Kind& k : kKinds) {
        if (word == k.word) type = k.type;
    }
    switch (type) {
        case typeInteger:
            return DescriptorValue::Integer(int32(in.ExpectInteger("an integer", std::numeric_limits<int32>::min(),
                                                                   std::numeric_limits<int32>::max())));
        case typeFloat: return DescriptorValue::Float(in.ExpectNumber("a float"));
        case typeUnitFloat: {
            const uint32 unit = in.ExpectCode("a unit");
            return DescriptorValue::UnitFloat(unit, in.ExpectNumber("a float"));
        }
        case typeBoolean: {
            const std::string b = in.ExpectWord("true or false");
            if (b != "true" && b != "false") in.Fail("expected true or false, found '" + b + "'", line);
            return DescriptorValue::Boolean(b == "true");
        }
        case typeChar: return DescriptorValue::Text(in.ExpectString("a text"));
        case typeAlias: return DescriptorValue::Alias(in.ExpectString("a path"));
        case typeEnumerated: {
            const uint32 enumType = in.ExpectCode("an enumeration type");
            return DescriptorValue::Enumerated(enumType, in.ExpectCode("an enumeration value"));
        }
        case typeType:
        case typeGlobalClass: return DescriptorValue::Class(in.ExpectCode("a class"), type == typeGlobalClass);
        case typeObject:
        case typeGlobalObject: {
            const uint32 classId = in.ExpectCode("a class");
            in.Expect(TokenKind::Open, "'{'");
            Descriptor object = ReadItems(in, depth + 1, TokenKind::Close);
            return DescriptorValue::Object(classId, std::move(object), type == typeGlobalObject);
        }
        case typeValueList: {
            in.Expect(TokenKind::OpenList, "'['");
            std::vector<DescriptorValue> items;
            while (in.Peek().kind != TokenKind::CloseList) {
                if (in.Peek().kind == TokenKind::End) in.Fail("the list opened on line " + std::to_string(line) + " is not closed");
                items.push_back(ReadValue(in, depth + 1));
            }
            in.Take();
            return DescriptorValue::List(std::move(items));
        }
        case typeObjectSpecifier: {
            in.Expect(TokenKind::OpenList, "'['");
            std::vector<ReferenceItem> items;
            while (in.Peek().kind != TokenKind::CloseList) {
                if (in.Peek().kind == TokenKind::End) in.Fail("the reference opened on line " + std::to_string(line) + " is not closed");
                const std::string formWord = in.ExpectWord("a reference form (class, property, enum, name, index, identifier, offset)");
                ReferenceItem item;
                bool known = false;
                for (const Form& f : kForms) {
                    if (formWord == f.word) {
                        item.form = f.form;
                        known = true;
                    }
                }
                if (!known) in.Fail("unknown reference form '" + formWord + "'");
                item.desiredClass = in.ExpectCode("a class");
                switch (item.form) {
                    case ReferenceForm::Class: break;
                    case ReferenceForm::Property: item.code = in.ExpectCode("a property key"); break;
                    case ReferenceForm::Enumerated:
                        item.code = in.ExpectCode("an enumeration type");
                        item.value = in.ExpectCode("an enumeration value");
                        break;
                    case ReferenceForm::Name: item.name = in.ExpectString("a name"); break;
                    case ReferenceForm::Index:
                    case ReferenceForm::Identifier:
                        item.number = int32(uint32(in.ExpectInteger("a number", 0, std::numeric_limits<uint32>::max())));
                        break;
                    case ReferenceForm::Offset:
                        item.number = int32(in.ExpectInteger("an offset", std::numeric_limits<int32>::min(),
                                                             std::numeric_limits<int32>::max()));
                        break;
                }
                items.push_back(std::move(item));
            }
            in.Take();
            return DescriptorValue::Reference(std::move(items));
        }
        default: in.Fail("unknown value kind '" + word + "'", line);
    }
}

Descriptor ReadItems(Reader& in, int depth, TokenKind end) {
    if (depth > kMaxDescriptorDepth) in.Fail("objects are nested too deeply");
    Descriptor d;
    while (in.Peek().kind != end) {
        if (in.Peek().kind == TokenKind::End) in.Fail("an object is not closed with '}'");
        const int line = in.Peek().line;
        const uint32 key = in.ExpectCode("a key");
        if (d.Find(key)) in.Fail("the key " + CodeText(key) + " appears twice", line);
        d.Put(key, ReadValue(in, depth));
    }
    in.Take();
    return d;
}

}  // namespace

std::string CodeText(uint32 code) {
    bool printable = true;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const unsigned c = (code >> shift) & 0xFFu;
        if (c < 0x20 || c > 0x7E || c == '\'') printable = false;
    }
    char text[16];
    if (printable) {
        std::snprintf(text, sizeof text, "'%c%c%c%c'", char(code >> 24), char(code >> 16), char(code >> 8), char(code));
    } else {
        std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(code));
    }
    return text;
}

std::string FormatDescriptor(const Descriptor& descriptor, const DescriptorAnnotator& annotate) {
    std::string out;
    WriteItems(out, descriptor, 0, &annotate);
    return out;
}

Descriptor ParseDescriptor(const std::string& text, const std::string& origin) {
    Reader in(text, origin);
    return ReadItems(in, 0, TokenKind::End);
}

std::string FormatNamedDescriptors(const NamedDescriptors& entries) {
    std::string out;
    for (const auto& [name, descriptor] : entries) {
        out += "entry " + QuoteText(name) + " {\n";
        WriteItems(out, descriptor, 1, nullptr);
        out += "}\n";
    }
    return out;
}

NamedDescriptors ParseNamedDescriptors(const std::string& text, const std::string& origin) {
    Reader in(text, origin);
    NamedDescriptors entries;
    while (in.Peek().kind != TokenKind::End) {
        const int line = in.Peek().line;
        const std::string word = in.ExpectWord("'entry'");
        if (word != "entry") in.Fail("expected 'entry', found '" + word + "'", line);
        std::string name = in.ExpectString("the entry's name");
        for (const auto& e : entries) {
            if (e.first == name) in.Fail("the entry \"" + name + "\" appears twice", line);
        }
        in.Expect(TokenKind::Open, "'{'");
        entries.emplace_back(std::move(name), ReadItems(in, 1, TokenKind::Close));
    }
    return entries;
}

}  // namespace hostsim
