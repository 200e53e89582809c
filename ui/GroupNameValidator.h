// SPDX-License-Identifier: MIT
#pragma once

#include <QValidator>

class GroupNameSet;

// Puts every change a line edit proposes for name n (typing, pasting, dropping, an input
// method's commit) through the edit rule, before the edit shows.
class GroupNameValidator : public QValidator
{
    Q_OBJECT

public:
    GroupNameValidator(const GroupNameSet &set, int n, QObject *parent = nullptr);

    State validate(QString &input, int &pos) const override;

private:
    const GroupNameSet &m_set;
    int m_n;
};
