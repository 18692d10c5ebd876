#pragma once
// What the search window asks and says when saved searches change: a name that is taken is
// replaced only when the user says so, a shared search is deleted only when the user says so, and
// a change that failed is told. Through the Desktop, so tests answer.
#include "SavedSearchStore.h"

#include <functional>

namespace zq {

// "由 zhangwei 于 2026-12-09 10:00 保存", or empty when the search does not say who saved it.
QString SavedByText(const SavedSearch& search);

// Makes a change that refuses a taken name; when the name is taken, asks whether the search that
// is there is to be replaced and, if so, makes the change again replacing it. A failure is told.
// True when the change was made.
bool ChangeAsking(const std::function<SavedSearchStore::Outcome(SavedSearchStore::IfTaken)>& change);

// Whether the search may go: a shared one only when the user says so; the user's own at once.
bool ConfirmDelete(const SavedSearch& search);

// Tells the problems the store found since it was last asked.
void TellStoreProblems(const SavedSearchStore& store);

} // namespace zq
