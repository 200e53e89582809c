// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// Why the rule kept less of an insertion than was inserted.
struct Shortfall
{
    // How many characters without a GBK form are named; more are only counted.
    static constexpr int Named = 8;

    bool full = false;  // a character no longer fitted in the name's 16 bytes
    QString noForm;     // characters without a GBK form that were left out, each once
    int noFormMore = 0; // and how many others besides

    bool any() const { return full || !noForm.isEmpty(); }
    // Adds what another edit left out, as one paste of several lines does.
    void add(const Shortfall &other);
    // Notes a character left out for having no GBK form.
    void leaveOut(char32_t codePoint);
};
