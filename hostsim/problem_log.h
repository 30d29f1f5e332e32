// What the host refused or found wrong in the plug-in's requests, in words, for tests and for
// filterhost's error output.
#pragma once
#include <string>
#include <vector>

namespace hostsim {

class ProblemLog {
public:
    void Add(std::string text) {
        if (entries_.size() < kLimit) entries_.push_back(std::move(text));
        ++count_;
    }
    const std::vector<std::string>& entries() const { return entries_; }
    // All problems, also those past the kept limit.
    std::size_t count() const { return count_; }
    bool empty() const { return count_ == 0; }
    void Clear() {
        entries_.clear();
        count_ = 0;
    }
    // Whether any kept entry contains `text`.
    bool Contains(const std::string& text) const {
        for (const std::string& e : entries_)
            if (e.find(text) != std::string::npos) return true;
        return false;
    }

private:
    static constexpr std::size_t kLimit = 200;
    std::vector<std::string> entries_;
    std::size_t count_ = 0;
};

}  // namespace hostsim
