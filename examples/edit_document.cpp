// Reads a catalogue, lists it with where each book stands in the file,
// edits it and writes it back:
//   edit_document sample.xml > edited.xml

#include <CorvaneXML/CorvaneXML.h>

#include <cstdio>
#include <exception>
#include <memory>
#include <unordered_map>

using namespace CorvaneXML;

// Remembers where each element read starts, to point at it later.
class StartTags : public IXMLPositionMap {
public:
    void MapElement(XIXMLElement* element, const CXMLPosition& start) override { where[element] = start; }
    std::unordered_map<const XIXMLElement*, CXMLPosition> where;
};

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: edit_document FILE\n");
        return 2;
    }
    std::FILE* file = std::fopen(argv[1], "rb");
    if (file == nullptr) {
        std::perror(argv[1]);
        return 2;
    }

    CXMLTreeReader reader;
    StartTags starts;
    reader.SetPositionMap(&starts);
    std::unique_ptr<XCXMLTree> tree;
    try {
        XCXMLFileReadStream input(file);
        tree.reset(reader.ReadTree(&input));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s:%llu:%llu: %s\n", argv[1], static_cast<unsigned long long>(reader.GetErrorLine()),
                     static_cast<unsigned long long>(reader.GetErrorColumn()), error.what());
        std::fclose(file);
        return 1;
    }
    std::fclose(file);

    try {
        XIXMLElement* catalogue = tree->GetRoot()->FindElement("catalogue");
        if (catalogue == nullptr) {
            std::fprintf(stderr, "no catalogue\n");
            return 1;
        }

        // Navigate: every book with its title and price, to standard error,
        // in the form FILE:LINE:COLUMN: text that editors jump to.
        for (XIXMLElement* book = catalogue->FindElement("book"); book != nullptr; book = book->NextSameElement()) {
            const XIXMLData* title = book->FindElement("title")->GetData();
            const double price = book->FindElement("price")->GetData()->GetFloat();
            const CXMLPosition& at = starts.where[book];
            std::fprintf(stderr, "%s:%llu:%llu: %s: %s (%.2f)\n", argv[1], static_cast<unsigned long long>(at.line),
                         static_cast<unsigned long long>(at.column), book->FindAttribute("id")->GetValue(),
                         title->GetData(), price);
        }

        // Edit: raise every price by a tenth, drop the first book's language,
        // and add a third book with a comment in front of it.
        for (XIXMLElement* book = catalogue->FindElement("book"); book != nullptr; book = book->NextSameElement()) {
            XIXMLData* price = book->FindElement("price")->GetData();
            price->SetFmtData("%.2f", price->GetFloat() * 1.1);
        }
        catalogue->FindElement("book")->FindAttribute("lang")->Destroy();
        catalogue->AddComment(" added by edit_document ");
        XIXMLElement* added = catalogue->AddElement("book");
        added->AddAttribute("id", "b3")->SetFmtValue("b%d", 3);
        added->AddElement("title")->AddData("Night <Trains>");
        added->AddElement("price")->AddData("0")->SetFmtData("%.2f", 7.0);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "edit failed: %s\n", error.what());
        return 1;
    }

    XCXMLFileWriteStream output(stdout);
    try {
        tree->Write(&output);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "write failed: %s\n", error.what());
        return 1;
    }
    return output.Flush() ? 0 : 1;
}
