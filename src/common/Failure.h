#pragma once

#include <string>
#include <utility>

namespace garrison {

// What an operation that can fail hands back: nothing when it worked, or
// why it did not. Not to be dropped unread.
class [[nodiscard]] Failure {
public:
    Failure() = default;
    // error: the system's errno behind it, when there is one.
    static Failure because(std::string why, int error = 0) { return Failure(std::move(why), error); }

    bool failed() const { return !m_why.empty(); }
    explicit operator bool() const { return failed(); }
    const std::string &why() const { return m_why; }
    int error() const { return m_error; }

private:
    Failure(std::string why, int error) : m_why(why.empty() ? "failed" : std::move(why)), m_error(error) {}

    std::string m_why;
    int m_error = 0;
};

} // namespace garrison
