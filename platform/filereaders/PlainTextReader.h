#pragma once
// Plain text and CSV: UTF-8 with or without a byte-order mark, UTF-16 with one, else GB18030
// (a superset of GBK), decoded piece by piece so that a long file stops at the text limit.
#include <QByteArrayView>

namespace zq::extract {

class ExtractionRun;

class PlainTextReader {
public:
    void read(QByteArrayView bytes, ExtractionRun& run);
};

} // namespace zq::extract
