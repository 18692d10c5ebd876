#include "StructureWalk.h"

#include "ZQPDMFC.h"

#include <vector>

namespace zq::part {

namespace {

constexpr int kStepsBetweenChecks = 4096;
const QString kSeparator = QStringLiteral("::");

// One code on the current path above the line, with the parents still to follow.
struct Frame {
    QString code;
    QStringList parents;   // implicitly shared with the walk's cache
    qsizetype next = 0;
};

} // namespace

UpwardWalk::UpwardWalk(ParentSource& source, QString productCode, std::function<bool()> keepGoing)
    : m_source(source), m_productCode(std::move(productCode)), m_keepGoing(std::move(keepGoing))
{
}

bool UpwardWalk::IsProduct(const QString& code) const
{
    return EqualsNoCase(code, m_productCode);
}

const QStringList& UpwardWalk::ParentsOf(const QString& code)
{
    auto found = m_parents.constFind(code);
    if (found == m_parents.constEnd()) {
        ++m_queries;
        found = m_parents.insert(code, m_source.ParentCodes(m_productCode, code));
    }
    return found.value();
}

bool UpwardWalk::Collect(const QString& upCode, const QString& code, QList<StructurePath>& paths)
{
    std::vector<Frame> stack;
    QHash<QString, int> onPath;   // codes of the current path, the line's own code included
    onPath.insert(code, 1);

    // Takes one step up to candidate: ends the branch on a recurring code, records a path at the
    // product, or goes on above candidate.
    auto enter = [&](const QString& candidate) {
        if (onPath.contains(candidate))
            return;
        if (IsProduct(candidate)) {
            QStringList codes;
            codes.reserve(qsizetype(stack.size()) + 2);
            codes.append(candidate);
            for (auto frame = stack.rbegin(); frame != stack.rend(); ++frame)
                codes.append(frame->code);
            codes.append(code);
            paths.append({codes.join(kSeparator), candidate, code});
            return;
        }
        QStringList parents = ParentsOf(candidate);
        onPath.insert(candidate, 1);
        stack.push_back({candidate, std::move(parents), 0});
    };

    enter(upCode);
    while (!stack.empty()) {
        if (m_keepGoing && ++m_steps % kStepsBetweenChecks == 0 && !m_keepGoing())
            return false;
        Frame& top = stack.back();
        if (top.next < top.parents.size()) {
            const QString parent = top.parents.at(top.next++);
            enter(parent);
        } else {
            onPath.remove(top.code);
            stack.pop_back();
        }
    }
    return true;
}

} // namespace zq::part
