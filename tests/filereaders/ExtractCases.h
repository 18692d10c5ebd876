#pragma once
// Tables of extraction cases the reader tests share: the text a file gives, or how it is damaged.
#include "TextExtraction.h"

#include <QByteArray>

#include <string>
#include <vector>

namespace zq::test {

inline std::string str(const QString& s) { return s.toStdString(); }

struct TextCase {
    const char* what;
    zq::extract::FileType type;
    QByteArray bytes;
    const char* text;
};

// Each file is read whole, without a cut, and gives exactly its text.
void ExpectTexts(const std::vector<TextCase>& cases);

struct DamageCase {
    const char* what;
    zq::extract::FileType type;
    QByteArray bytes;
    bool ok;                 // text came before the damage
    const char* message;     // the start of the error, or of the note when ok
};

// Each file is told damaged as the case says, and a file that could not be read gives no text.
void ExpectDamage(const std::vector<DamageCase>& cases);

} // namespace zq::test
