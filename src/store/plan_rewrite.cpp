#include "store/plan_rewrite.h"

#include "store/store_error.h"

namespace temvik {

namespace {

// Moves a finished scratch mark file into place: an empty one stands for
// "no marks", which is no mark file at all.
void settleMarks(PlanStore& store) {
  Files& files = store.files();
  const std::string scratch = store.path(kScratchMarkFile);
  if (!files.exists(scratch)) return;
  const auto bytes = files.read(scratch);
  if (!bytes) throw StoreError(StoreError::Kind::Read, scratch);
  if (bytes->empty()) {
    store.remove(kMarkFile);
    store.remove(kScratchMarkFile);
  } else if (!files.replace(scratch, store.path(kMarkFile))) {
    throw StoreError(StoreError::Kind::Write, store.path(kMarkFile));
  }
}

void putItemsInPlace(PlanStore& store) {
  if (!store.files().replace(store.path(kScratchItemFile), store.path(kItemFile)))
    throw StoreError(StoreError::Kind::Write, store.path(kItemFile));
}

}  // namespace

void commitPlanRewrite(PlanStore& store, const IniDocument& items,
                       const std::optional<IniDocument>& marks) {
  Files& files = store.files();
  const std::string markFile = store.path(kMarkFile);
  // The marks as they were, to put back when a later step fails.
  std::optional<std::string> oldMarks;
  bool oldMarksKnown = false;
  try {
    if (marks) {
      oldMarks = files.read(markFile);
      if (!oldMarks && files.exists(markFile)) throw StoreError(StoreError::Kind::Read, markFile);
      oldMarksKnown = true;
      if (marks->empty()) {
        if (!files.writeAtomic(store.path(kScratchMarkFile), ""))
          throw StoreError(StoreError::Kind::Write, store.path(kScratchMarkFile));
      } else {
        store.save(kScratchMarkFile, *marks);
      }
    }
    store.save(kScratchItemFile, items);  // a crash from here on is finished at the next start
    settleMarks(store);
    putItemsInPlace(store);
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
    files.remove(store.path(kScratchItemFile));
    files.remove(store.path(kScratchMarkFile));
    throw;
  }
}

void recoverInterruptedRewrite(PlanStore& store) {
  if (store.files().exists(store.path(kScratchItemFile))) {
    settleMarks(store);
    putItemsInPlace(store);
  } else {
    // The item file was never replaced: the old plan stands.
    store.remove(kScratchMarkFile);
  }
}

}  // namespace temvik
