// SPDX-License-Identifier: MIT
#pragma once

#include "Clipboard.h"

// Reads the text another program offers for a paste, without stopping this program: the
// part of Clipboard that a window system's own reader carries out.
class TextReader
{
public:
    virtual ~TextReader() = default;

    // As Clipboard::requestText: a request cancels the one before it.
    virtual void request(Clipboard::Source source, Clipboard::TextHandler done) = 0;
    virtual void cancel() = 0;
};
