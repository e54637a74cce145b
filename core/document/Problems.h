#pragma once

// Problems met while reading definitions or an image: each with the file it was
// found in (relative to the program folder when it lies inside it) and the line
// (0 when no line applies).

#include <QString>

#include <vector>

namespace zor {

struct Problem {
    QString file;
    int line = 0;
    QString message;
};

class ProblemLog {
public:
    explicit ProblemLog(QString programFolder = QString());

    void add(const QString& path, int line, const QString& message);

    const std::vector<Problem>& items() const { return items_; }
    bool empty() const { return items_.empty(); }

    // One line per problem: "file:line: message" (no ":line" when line is 0).
    QString text() const;
    // The first maxLines of those lines, then "ほか N 件" for the rest.
    QString summary(int maxLines = 20) const;

private:
    QString programFolder_;
    std::vector<Problem> items_;
};

} // namespace zor
