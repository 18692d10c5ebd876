#pragma once
// The condition rows, SQL text and row layout of the resource-file page, built from plain values
// so they can be checked without widgets. Every value placed between quotes has its quotes doubled.
#include "DocumentRecord.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace zq::doc {

constexpr int kResourceRowCount = 8;

// The EngineerViewDoc columns the condition rows filter, row 0 first.
const QStringList& ResourceColumns();

// The configuration file that names rows 4 to 7 (section "资源视图信息").
QString ResourceConfigPath();
// The item texts of the eight condition rows, the configured ones read from iniPath.
QStringList ReadResourceConditionNames(const QString& iniPath);

// Every resource file, with no condition: the SELECT the condition rows narrow.
QString ResourceSelect();

// values: the texts of column 1 of the condition rows, row 0 first; missing rows count as empty.
QString BuildResourceSql(const QStringList& values);

// Row layout: ItemCode, DocType, FileName, FileBulk, FileType, FileDate fill Code2, Description,
// FileName, Size, FileType, Date; the item text is the Description; list columns 1 … 3 show Size,
// FileType, Date.
QString ResourceItemText(const DocumentRecord& record);
const RowLayout& ResourceRowLayout();

} // namespace zq::doc
