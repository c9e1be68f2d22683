#include "store/plan_rewrite.h"

namespace temvik {

namespace {

// Moves a finished scratch mark file into place: an empty one stands for
// "no marks", which is no mark file at all.
void settleMarks(PlanStore& store) {
  Files& files = store.files();
  const std::string scratch = store.path(kScratchMarkFile);
  const auto bytes = files.read(scratch);
  if (!bytes) return;
  if (bytes->empty()) {
    files.remove(store.path(kMarkFile));
    files.remove(scratch);
  } else {
    files.replace(scratch, store.path(kMarkFile));
  }
}

}  // namespace

void commitPlanRewrite(PlanStore& store, const IniDocument& items,
                       const std::optional<IniDocument>& marks) {
  Files& files = store.files();
  if (marks) {
    if (marks->empty())
      files.writeAtomic(store.path(kScratchMarkFile), "");
    else
      store.save(kScratchMarkFile, *marks);
  }
  store.save(kScratchItemFile, items);  // the change is decided here
  settleMarks(store);
  files.replace(store.path(kScratchItemFile), store.path(kItemFile));
}

void recoverInterruptedRewrite(PlanStore& store) {
  Files& files = store.files();
  if (files.exists(store.path(kScratchItemFile))) {
    settleMarks(store);
    files.replace(store.path(kScratchItemFile), store.path(kItemFile));
  } else if (files.exists(store.path(kScratchMarkFile))) {
    // The item file was never replaced: the old plan stands.
    files.remove(store.path(kScratchMarkFile));
  }
}

}  // namespace temvik
