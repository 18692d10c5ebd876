#pragma once
// ASCII DXF drawings: the text of TEXT, MTEXT and ATTRIB entities in the ENTITIES and BLOCKS
// sections, decoded as the header says ($ACADVER AC1021 on: UTF-8; else $DWGCODEPAGE, where
// ANSI_936 or none means GBK, or UTF-8 when a value is valid UTF-8), escapes and MTEXT format
// codes removed.
#include <QByteArrayView>

namespace zq::extract {

class ExtractionRun;

class DxfReader {
public:
    void read(QByteArrayView bytes, ExtractionRun& run);
};

} // namespace zq::extract
