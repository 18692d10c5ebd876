#include "Recordset.h"

namespace zq {

struct Recordset::Impl {};

Recordset::Recordset() = default;
Recordset::~Recordset() = default;
void Recordset::Open(const QString&, Connection*, int, int, int) {}
bool Recordset::IsOpen() const { return false; }
bool Recordset::IsEOF() const { return true; }
int Recordset::FieldCount() const { return 0; }
QVariant Recordset::GetFieldValue(int) const { return {}; }
QString Recordset::GetFieldText(int) const { return {}; }
void Recordset::MoveNext() {}
void Recordset::Close() {}

} // namespace zq
