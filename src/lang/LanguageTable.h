#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace garrison {

// Every label the program shows and its text. Filled once at start-up, then
// only read, so Resolve needs no lock.
class LanguageTable {
public:
    // Adds the labels of one source; a label already present keeps its text.
    void merge(std::string_view sourceText);
    // The display text of a label, following references; anything that is no
    // label comes back unchanged.
    std::string Resolve(std::string_view text) const;
    std::size_t size() const { return m_labels.size(); }

private:
    std::string resolveAt(std::string_view text, int depth) const;
    void mergeLine(std::string_view line);

    // Sorted by plain byte order; m_texts[i] belongs to m_labels[i].
    std::vector<std::string> m_labels;
    std::vector<std::string> m_texts;
};

} // namespace garrison
