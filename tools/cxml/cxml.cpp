// cxml: try the library from the command line.
//
//   cxml format [--max-output BYTES] [FILE|-]
//                                   read a document and write it back indented
//   cxml check FILE...              report FILE:LINE:COLUMN: message per broken document
//   cxml events [--positions] [--skip NAME] FILE
//                                   print the parser's events, one per line

#include <CorvaneXML/CorvaneXML.h>
#include <CorvaneXML/XMLStdStreams.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <string>
#include <vector>

using namespace CorvaneXML;

namespace {

const char kUsage[] =
    "usage: cxml format [--max-output BYTES] [FILE|-]\n"
    "       cxml check FILE...\n"
    "       cxml events [--positions] [--skip NAME] FILE|-\n"
    "       cxml --help | --version\n"
    "\n"
    "format  reads a document into a tree and writes it to standard output;\n"
    "        --max-output stops with an error before passing BYTES bytes\n"
    "check   prints FILE:LINE:COLUMN: message for each document that fails;\n"
    "        exits 1 if any failed\n"
    "events  prints the parser's events one per line; --positions puts the\n"
    "        LINE:COLUMN where each construct starts before it; --skip NAME\n"
    "        parses in fast mode and skips every element called NAME\n"
    "A FILE of - reads standard input.\n";

struct FileCloser {
    void operator()(std::FILE* file) const {
        if (file != stdin) std::fclose(file);
    }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

File Open(const std::string& path) {
    if (path == "-") return File(stdin);
    File file(std::fopen(path.c_str(), "rb"));
    if (!file) std::fprintf(stderr, "cxml: %s: %s\n", path.c_str(), std::strerror(errno));
    return file;
}

void ReportFailure(const std::string& path, const CXMLParser& parser, const std::exception& error) {
    std::fprintf(stderr, "%s:%llu:%llu: %s\n", path == "-" ? "<stdin>" : path.c_str(),
                 static_cast<unsigned long long>(parser.GetErrorLine()),
                 static_cast<unsigned long long>(parser.GetErrorColumn()), error.what());
}

int Format(const std::string& path, std::uint64_t maxOutput) {
    File file = Open(path);
    if (!file) return 2;
    XCXMLFileReadStream input(file.get());
    CXMLTreeReader reader;
    std::unique_ptr<XCXMLTree> tree;
    try {
        tree.reset(reader.ReadTree(&input));
    } catch (const std::exception& error) {
        ReportFailure(path, reader, error);
        return 1;
    }
    XCXMLFileWriteStream output(stdout);
    output.SetLimit(maxOutput);
    try {
        tree->Write(&output);
    } catch (const std::exception& error) {
        // With the file still fine, only the limit can have refused.
        if (output.Flush() && maxOutput != UINT64_MAX) {
            std::fprintf(stderr, "cxml: writing: the output would pass %llu bytes (--max-output)\n",
                         static_cast<unsigned long long>(maxOutput));
        } else {
            std::fprintf(stderr, "cxml: writing: %s\n", error.what());
        }
        return 1;
    }
    if (!output.Flush()) {
        std::fprintf(stderr, "cxml: writing: %s\n", std::strerror(errno));
        return 1;
    }
    return 0;
}

int Check(const std::vector<std::string>& paths) {
    int status = 0;
    CXMLTreeReader reader;
    for (const std::string& path : paths) {
        File file = Open(path);
        if (!file) {
            status = 1;
            continue;
        }
        XCXMLFileReadStream input(file.get());
        try {
            delete reader.ReadTree(&input);
        } catch (const std::exception& error) {
            ReportFailure(path, reader, error);
            status = 1;
        }
    }
    return status;
}

// Prints every event as one line; bytes outside printable ASCII are escaped.
class EventPrinter : public CXMLParser {
public:
    EventPrinter(const char* skip, bool positions) : skip_(skip), positions_(positions) {}

private:
    static std::string Escaped(const char* text) {
        if (text == nullptr) return "(none)";
        std::string result;
        for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p != 0; ++p) {
            if (*p == '\\') {
                result += "\\\\";
            } else if (*p < 0x20 || *p >= 0x7F) {
                char escape[5];
                std::snprintf(escape, sizeof escape, "\\x%02X", *p);
                result += escape;
            } else {
                result += static_cast<char>(*p);
            }
        }
        return result;
    }

    void Print(const char* event, const std::string& rest) {
        if (positions_) {
            const CXMLPosition at = GetEventPosition();
            std::printf("%llu:%llu ", static_cast<unsigned long long>(at.line),
                        static_cast<unsigned long long>(at.column));
        }
        std::printf("%s %s\n", event, rest.c_str());
    }

    // The handle is the element's depth, so CloseNode finds its name without
    // the parser having to close skipped elements.
    const void* OpenNode(const char* name) override {
        Print("open", Escaped(name));
        if (skip_ != nullptr && std::strcmp(name, skip_) == 0) return nullptr;
        names_.emplace_back(name);
        return reinterpret_cast<const void*>(static_cast<std::uintptr_t>(names_.size()));
    }
    void Attribute(const char* name, const char* value) override {
        Print("attribute", Escaped(name) + "=" + Escaped(value));
    }
    void Data(const char* text) override { Print("data", Escaped(text)); }
    void CloseNode(const void* handle) override {
        if (handle == nullptr) {
            Print("close", "(skipped)");
            return;
        }
        const auto depth = reinterpret_cast<std::uintptr_t>(handle);
        Print("close", Escaped(names_[depth - 1].c_str()));
        names_.resize(depth - 1);
    }
    void Comment(const char* text) override { Print("comment", Escaped(text)); }
    bool ProcessingInstruction(const char* target, const char* instruction) override {
        Print("pi", Escaped(target) + " " + Escaped(instruction));
        return true;
    }
    void DocType(const char* name, const char* publicId, const char* systemId, const char* subset) override {
        Print("doctype", Escaped(name) + " public=" + Escaped(publicId) + " system=" + Escaped(systemId) +
                             " subset=" + Escaped(subset));
    }

    const char* skip_;
    bool positions_;
    std::vector<std::string> names_;
};

int Events(const char* skip, bool positions, const std::string& path) {
    File file = Open(path);
    if (!file) return 2;
    XCXMLFileReadStream input(file.get());
    EventPrinter printer(skip, positions);
    try {
        if (skip != nullptr) {
            printer.FastParse(&input);
        } else {
            printer.Parse(&input);
        }
    } catch (const std::exception& error) {
        std::fflush(stdout);
        ReportFailure(path, printer, error);
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::string& command = args[0];
    if (command == "--help" || command == "-h") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (command == "--version") {
        std::printf("cxml %s\n", CORVANEXML_VERSION);
        return 0;
    }
    if (command == "format") {
        std::uint64_t maxOutput = UINT64_MAX;
        std::size_t next = 1;
        if (args.size() >= 3 && args[1] == "--max-output") {
            char* end = nullptr;
            errno = 0;
            maxOutput = std::strtoull(args[2].c_str(), &end, 10);
            if (args[2].empty() || *end != '\0' || errno != 0 || args[2][0] == '-') {
                std::fprintf(stderr, "cxml: --max-output wants a number of bytes\n");
                return 2;
            }
            next = 3;
        }
        if (args.size() <= next + 1) return Format(args.size() == next + 1 ? args[next] : "-", maxOutput);
    }
    if (command == "check" && args.size() >= 2) return Check({args.begin() + 1, args.end()});
    if (command == "events" && args.size() >= 2) {
        const bool positions = args[1] == "--positions";
        const std::size_t next = positions ? 2 : 1;
        if (args.size() == next + 1) return Events(nullptr, positions, args[next]);
        if (args.size() == next + 3 && args[next] == "--skip") {
            return Events(args[next + 1].c_str(), positions, args[next + 2]);
        }
    }
    std::fprintf(stderr, "cxml: unknown command line\n%s", kUsage);
    return 2;
}
