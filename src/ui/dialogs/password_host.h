#pragma once

#include <string>

namespace temvik {

// What the two password dialogs need of the window that opens them. The
// dialogs decide; the host carries out what belongs to its window.
class PasswordHost {
 public:
  virtual ~PasswordHost() = default;
  // The right password was given: the rights are held now and the editor
  // is to be usable again.
  virtual void rightsGranted() = 0;
  // The password was asked for to change it: the set-password dialog is
  // to open next, without a modal loop.
  virtual void changePasswordNext() = 0;
  // Writes the stored form of the password to the item file at once;
  // throws StoreError when that fails, and then nothing was written.
  virtual void writePassword(const std::string& stored) = 0;
  // A new password was taken: it can be deleted from now on.
  virtual void passwordTaken() = 0;
};

}  // namespace temvik
