// A field's text read from UTF-8 into the variant that held the row before's: the same text as
// QString::fromUtf8 gives (invalid bytes as U+FFFD, empty stays empty, not null), decoded into the
// field's own buffer when nothing else holds it, and never into one another text shares.
#include "RowSource.h"

#include <QVariant>
#include <gtest/gtest.h>

namespace {

using zq::db::SetFieldUtf8;

TEST(FieldText, ReadsAsFromUtf8WhateverTheFieldHeldBefore)
{
    const QByteArray inputs[] = {
        QByteArray("ZQ8600-01"), QByteArray("O'型圈材料更改为氟橡胶"), QByteArray(), QByteArray("a\xff\xfe" "b"),
        QByteArray("\xe6\xb8"), QByteArray("𠀋 beyond the BMP"), QByteArray(300, 'x'), QByteArray("x"),
    };
    const QVariant before[] = {QVariant(), QVariant(qint64(7)), QVariant(QString()), QVariant(QString(500, u'y')),
                               QVariant(QStringLiteral("short"))};
    for (const QVariant& held : before) {
        for (const QByteArray& utf8 : inputs) {
            QVariant field = held;
            SetFieldUtf8(field, utf8);
            const QString expected = QString::fromUtf8(utf8);
            ASSERT_EQ(field.metaType(), QMetaType::fromType<QString>()) << utf8.toStdString();
            EXPECT_EQ(field.toString(), expected) << utf8.toStdString();
            EXPECT_EQ(field.toString().isNull(), expected.isNull()) << utf8.toStdString();
        }
    }
}

// Row after row a field's text is decoded in its own buffer: that path reads every input as
// QString::fromUtf8 does too, a sequence cut short at the end of a text among them.
TEST(FieldText, ReadsAsFromUtf8WhenDecodedInPlace)
{
    const QByteArray inputs[] = {
        QByteArray("O'型圈材料更改为氟橡胶"), QByteArray("a\xff\xfe" "b"), QByteArray("\xe6\xb8"), QByteArray("tail \xe5"),
        QByteArray("\xef\xbb\xbf" "bom"), QByteArray("mid\xef\xbb\xbf" "bom"), QByteArray("𠀋 beyond the BMP"),
        QByteArray("\xc3"), QByteArray("x"),
    };
    QVariant field(QString(64, u'-'));
    for (const QByteArray& utf8 : inputs) {
        SetFieldUtf8(field, utf8);
        EXPECT_EQ(field.toString(), QString::fromUtf8(utf8)) << utf8.toHex().toStdString();
    }
}

TEST(FieldText, ReusesItsOwnBufferButNeverAnotherTextsOne)
{
    QVariant field(QString(64, u'-'));
    const QChar* buffer = static_cast<const QString*>(field.constData())->constData();
    SetFieldUtf8(field, "ZQ8600-01");
    EXPECT_EQ(field.toString(), QStringLiteral("ZQ8600-01"));
    EXPECT_EQ(static_cast<const QString*>(field.constData())->constData(), buffer) << "decoded in place";

    const QString kept = field.toString();   // a row handed on and kept by its reader
    SetFieldUtf8(field, "ZQ8700");
    EXPECT_EQ(kept, QStringLiteral("ZQ8600-01")) << "the kept text is untouched";
    EXPECT_EQ(field.toString(), QStringLiteral("ZQ8700"));
}

} // namespace
