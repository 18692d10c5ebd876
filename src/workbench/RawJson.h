#pragma once
// A JSON text cut into its parts without decoding them: the members of an object and the elements
// of an array, each as the bytes it was written with. A file several versions of the program share
// is rewritten with the parts this version does not understand copied over exactly as they were.
#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace zq {

struct RawMember {
    QString key;
    QByteArray value;   // the member's value as written, without the whitespace around it
};

// The members of the object that the text holds (whitespace around it allowed), in the order
// written; nothing when the text is no well-formed object.
std::optional<QList<RawMember>> RawObjectMembers(const QByteArray& text);
// The elements of the array that the text holds, in order; nothing when it is no well-formed array.
std::optional<QList<QByteArray>> RawArrayElements(const QByteArray& text);

} // namespace zq
