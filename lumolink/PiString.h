#pragma once

// The string type of the lumolink interface: a shared, immutable byte string. Copies share the
// bytes; assigning replaces them.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

class tPI_STRING {
public:
    tPI_STRING() = default;
    tPI_STRING(const char* text) { Assign(text ? std::string_view(text) : std::string_view()); }
    tPI_STRING(std::string_view text) { Assign(text); }

    tPI_STRING& operator=(const char* text) {
        Assign(text ? std::string_view(text) : std::string_view());
        return *this;
    }
    tPI_STRING& operator=(std::string_view text) {
        Assign(text);
        return *this;
    }

    const char* c_str() const { return bytes_ ? bytes_->c_str() : ""; }
    std::size_t length() const { return bytes_ ? bytes_->size() : 0; }
    bool empty() const { return length() == 0; }
    std::string_view view() const { return {c_str(), length()}; }
    std::string str() const { return std::string(view()); }

    friend bool operator==(const tPI_STRING& a, const tPI_STRING& b) {
        return a.view() == b.view();
    }
    friend bool operator==(const tPI_STRING& a, const char* b) {
        return a.view() == std::string_view(b ? b : "");
    }

private:
    void Assign(std::string_view text) {
        bytes_ = text.empty() ? nullptr : std::make_shared<const std::string>(text);
    }

    std::shared_ptr<const std::string> bytes_;
};
