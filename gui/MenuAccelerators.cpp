#include "gui/MenuAccelerators.h"

#include <QAction>
#include <set>

namespace parlo::qt {

namespace {

// The caption without its accelerator mark ("&&" stays).
QString WithoutMark(const QString& caption) {
    QString out;
    for (int i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size()) {
            if (caption[i + 1] == '&') {
                out += "&&";
                ++i;
            }
            continue;  // a mark: dropped, its letter follows
        }
        out += caption[i];
    }
    return out;
}

}  // namespace

QChar AcceleratorOf(const QString& caption) {
    for (int i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {
            ++i;
            continue;
        }
        return caption[i + 1].toUpper();
    }
    return {};
}

void FitAccelerators(const QList<QAction*>& actions) {
    std::set<QChar> used;
    std::vector<QAction*> unfitted;
    for (QAction* a : actions) {
        if (a->isSeparator() || !a->isVisible() || a->text().isEmpty()) continue;
        const QChar mark = AcceleratorOf(a->text());
        if (!mark.isNull() && used.insert(mark).second) continue;
        unfitted.push_back(a);
    }
    for (QAction* a : unfitted) {
        const QString plain = WithoutMark(a->text());
        for (int i = 0; i < plain.size(); ++i) {
            if (plain[i] == '&' && i + 1 < plain.size() && plain[i + 1] == '&') {
                ++i;
                continue;
            }
            const QChar c = plain[i].toUpper();
            if (!c.isLetterOrNumber() || used.count(c) != 0) continue;
            used.insert(c);
            a->setText(plain.left(i) + '&' + plain.mid(i));
            break;
        }
    }
}

}  // namespace parlo::qt
