#ifndef CORVANE_TESTS_DOM_HOSTOBJECTS_H
#define CORVANE_TESTS_DOM_HOSTOBJECTS_H

// Host-side implementations of the node, attribute and provider interfaces:
// they log what the library does with them, and can be told to fail.

#include <CorvaneXML/CorvaneXML.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace hosttest {

using Log = std::vector<std::string>;

// A leaf node the host implements itself. Destroy() unlinks it like a library
// node and logs its label; with `failDestroy` set it throws instead.
class HostNode : public CorvaneXML::XIXMLNode {
public:
    HostNode(Log* log, std::string label) : log_(log), label_(std::move(label)) {}

    void Destroy() override {
        if (failDestroy) throw std::runtime_error("host node refuses: " + label_);
        if (log_ != nullptr) log_->push_back(label_);
        if (parent_ != nullptr) parent_->RemoveNode(this);
        delete this;
    }
    XIXMLNode* GetNext() const override { return next_; }
    void SetNext(XIXMLNode* next) override { next_ = next; }
    void WriteTo(CorvaneXML::XCXMLWriter*, int) const override {}
    CorvaneXML::XIXMLElement* GetParent() const override { return parent_; }
    void SetParent(CorvaneXML::XIXMLElement* parent) override { parent_ = parent; }
    unsigned int Index() const override {
        return parent_ != nullptr ? parent_->IndexOf(this) : 0xFFFFFFFFu;
    }
    XIXMLNode* Copy(CorvaneXML::XIXMLElement* parent) const override {
        if (log_ != nullptr) log_->push_back("copy " + label_);
        auto* copy = new HostNode(log_, label_ + "'");
        parent->AddNode(copy);
        return copy;
    }

    // Public for tests that must release a node the library abandoned.
    ~HostNode() override = default;

    bool failDestroy = false;

private:
    Log* log_;
    std::string label_;
    XIXMLNode* next_ = nullptr;
    CorvaneXML::XIXMLElement* parent_ = nullptr;
};

// An attribute the host implements, linked by hand after a library one.
// Destroy() logs its label and unlinks it as a library attribute would.
class HostAttribute : public CorvaneXML::XIXMLAttribute {
public:
    HostAttribute(Log* log, std::string label, CorvaneXML::XIXMLElement* owner)
        : log_(log), label_(std::move(label)), owner_(owner) {}

    void Destroy() override {
        log_->push_back(label_);
        owner_->RemoveAttribute(this);
        delete this;
    }
    XIXMLAttribute* GetNext() const override { return next_; }
    void SetNext(XIXMLAttribute* next) override { next_ = next; }
    CorvaneXML::XIXMLElement* GetNode() const override { return owner_; }
    const CorvaneXML::XCXMLKey& GetName() const override { return name_; }
    void SetName(const CorvaneXML::XCXMLKey& name) override { name_ = name; }
    const char* GetValue() const override { return ""; }
    void SetValue(const char*) override {}
    void GetFmtValue(const char*, void*) const override {}
    void SetFmtValue(const char*, ...) override {}
    void WriteTo(CorvaneXML::XCXMLWriter*) const override {}
    XIXMLAttribute* Copy(CorvaneXML::XIXMLElement* target) const override {
        return target->AddAttribute(target->GetKey(label_.c_str()), "");
    }

private:
    Log* log_;
    std::string label_;
    CorvaneXML::XIXMLElement* owner_;
    CorvaneXML::XCXMLKey name_;
    XIXMLAttribute* next_ = nullptr;
};

// A provider that counts what is done to it. Copies share the counters.
struct ProviderCounts {
    int copies = 0;
    int destroys = 0;
    int deletes = 0;
};

class CountingProvider : public CorvaneXML::XIXMLData::IXMLCData {
public:
    explicit CountingProvider(ProviderCounts* counts) : counts_(counts) {}

    bool Write(CorvaneXML::XIXMLWriteStream*, int, const CorvaneXML::XIXMLNode*) override {
        return true;
    }
    IXMLCData* Copy() override {
        ++counts_->copies;
        return new CountingProvider(counts_);
    }

protected:
    void Destroy() override {
        ++counts_->destroys;
        delete this;
    }
    ~CountingProvider() override { ++counts_->deletes; }

private:
    ProviderCounts* counts_;
};

// Leaves disposal to the interface's default, which must delete it.
class DefaultDisposedProvider : public CorvaneXML::XIXMLData::IXMLCData {
public:
    explicit DefaultDisposedProvider(ProviderCounts* counts) : counts_(counts) {}

    bool Write(CorvaneXML::XIXMLWriteStream*, int, const CorvaneXML::XIXMLNode*) override {
        return true;
    }
    IXMLCData* Copy() override {
        ++counts_->copies;
        return new DefaultDisposedProvider(counts_);
    }

protected:
    ~DefaultDisposedProvider() override { ++counts_->deletes; }

private:
    ProviderCounts* counts_;
};

}  // namespace hosttest

#endif
