#pragma once

// Problems met while reading definitions, an image or CSV files: each with the file it
// was found in (relative to the program folder when it lies inside it), the line (0
// when no line applies) and, in a CSV file, the field (0 when none applies).

#include <QString>
#include <QStringList>

#include <vector>

namespace zor {

struct Problem {
    QString file;
    int line = 0;
    QString message;
    int field = 0;
};

class ProblemLog {
public:
    explicit ProblemLog(QString programFolder = QString());

    void add(const QString& path, int line, const QString& message);
    void add(const QString& path, int line, int field, const QString& message);

    const std::vector<Problem>& items() const { return items_; }
    bool empty() const { return items_.empty(); }

    // One line per problem: "file:line:field: message" (no ":line" when line is 0, no
    // ":field" when field is 0).
    QString text() const;
    // The same lines, one text each, without their line breaks.
    QStringList lines() const;
    // The first maxLines of those lines, then "ほか N 件" for the rest.
    QString summary(int maxLines = 20) const;

private:
    QString programFolder_;
    std::vector<Problem> items_;
};

} // namespace zor
