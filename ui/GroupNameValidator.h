// SPDX-License-Identifier: MIT
#pragma once

#include <QValidator>

#include <functional>

class GroupNameSet;

// Puts every change a line edit proposes for name n (typing, pasting, dropping, an input
// method's commit) through the edit rule, before the edit shows.
class GroupNameValidator : public QValidator
{
    Q_OBJECT

public:
    // Told of an insertion that holds line breaks, a pattern of several names, which the
    // field leaves out: [from, to) of name n is to take `text`'s lines.
    using PatternHandler = std::function<void(int from, int to, const QString &text)>;

    GroupNameValidator(const GroupNameSet &set, int n, PatternHandler onPattern,
                       QObject *parent = nullptr);

    State validate(QString &input, int &pos) const override;

private:
    const GroupNameSet &m_set;
    int m_n;
    PatternHandler m_onPattern;
};
