#include "gui/FileFilters.h"

#include <QRegularExpression>

namespace parlo::qt {

namespace {

// "Clone files (*.icf)" -> "Clone files".
QString WithoutPatternList(QString description) {
    static const QRegularExpression trailing(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
    return description.remove(trailing).trimmed();
}

// Patterns may be separated by ";" (as other systems write them); Qt
// separates them by blanks.
QString QtPatterns(const QString& patterns) {
    return patterns.split(QRegularExpression(QStringLiteral("[;\\s]+")), Qt::SkipEmptyParts)
        .join(QLatin1Char(' '));
}

}  // namespace

QStringList NameFiltersFromOverlay(const std::string& line) {
    const QStringList parts = QString::fromStdString(line).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString patterns = QtPatterns(parts[i + 1]);
        if (patterns.isEmpty()) continue;
        QString description = WithoutPatternList(parts[i]);
        if (description.isEmpty()) description = patterns;
        filters << QStringLiteral("%1 (%2)").arg(description, patterns);
    }
    // A line without pairs is already in Qt's form.
    if (parts.size() == 1) {
        for (const QString& entry : parts[0].split(QStringLiteral(";;"), Qt::SkipEmptyParts)) {
            if (!entry.trimmed().isEmpty()) filters << entry.trimmed();
        }
    }
    if (filters.isEmpty()) filters << QStringLiteral("All files (*)");
    return filters;
}

QString SuffixOfNameFilter(const QString& filter) {
    static const QRegularExpression single(QStringLiteral("\\(\\*\\.(\\w+)\\)\\s*$"));
    const QRegularExpressionMatch match = single.match(filter);
    return match.hasMatch() ? match.captured(1) : QString();
}

}  // namespace parlo::qt
