#include "store/plan_rewrite.h"

#include "store/store_error.h"

namespace temvik {

namespace {

// Moves a finished scratch mark file into place: an empty one stands for
// "no marks", which is no mark file at all.
void settleMarks(PlanStore& store, const PlanFileSet& set) {
  Files& files = store.files();
  const std::string scratch = store.path(set.scratchMarks);
  if (!files.exists(scratch)) return;
  const auto bytes = files.read(scratch);
  if (!bytes) throw StoreError(StoreError::Kind::Read, scratch, files.lastFailure());
  if (bytes->empty()) {
    store.remove(set.marks);
    store.remove(set.scratchMarks);
  } else if (!files.replace(scratch, store.path(set.marks))) {
    throw StoreError(StoreError::Kind::Write, store.path(set.marks), files.lastFailure());
  }
}

void putItemsInPlace(PlanStore& store, const PlanFileSet& set) {
  if (!store.files().replace(store.path(set.scratchItems), store.path(set.items)))
    throw StoreError(StoreError::Kind::Write, store.path(set.items), store.files().lastFailure());
}

}  // namespace

void commitPlanRewrite(PlanStore& store, const IniDocument& items,
                       const std::optional<IniDocument>& marks, const PlanFileSet& set) {
  Files& files = store.files();
  const std::string markFile = store.path(set.marks);
  // The marks as they were, to put back when a later step fails.
  std::optional<std::string> oldMarks;
  bool oldMarksKnown = false;
  try {
    if (marks) {
      oldMarks = files.read(markFile);
      if (!oldMarks && files.exists(markFile))
        throw StoreError(StoreError::Kind::Read, markFile, files.lastFailure());
      oldMarksKnown = true;
      if (marks->empty()) {
        if (!files.writeAtomic(store.path(set.scratchMarks), ""))
          throw StoreError(StoreError::Kind::Write, store.path(set.scratchMarks),
                           files.lastFailure());
      } else {
        store.save(set.scratchMarks, *marks);
      }
    }
    store.save(set.scratchItems, items);  // a crash from here on is finished at the next start
    settleMarks(store, set);
    putItemsInPlace(store, set);
  } catch (const StoreError&) {
    // A failure, not a crash: the user is told that nothing changed, so
    // nothing may stay behind for the next start to finish over later
    // edits. The marks go back as they were and the scratch copies go.
    if (oldMarksKnown) {
      if (oldMarks)
        files.writeAtomic(markFile, *oldMarks);
      else
        files.remove(markFile);
    }
    files.remove(store.path(set.scratchItems));
    files.remove(store.path(set.scratchMarks));
    throw;
  }
}

void recoverInterruptedRewrite(PlanStore& store) {
  for (const PlanFileSet& set : {kSequentialFiles, kTimedFiles}) {
    if (store.files().exists(store.path(set.scratchItems))) {
      settleMarks(store, set);
      putItemsInPlace(store, set);
    } else {
      // The item file was never replaced: the old plan stands.
      store.remove(set.scratchMarks);
    }
  }
}

}  // namespace temvik
