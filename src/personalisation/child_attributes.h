#pragma once

namespace tdwk {

class Shell;

// Publishes the current child's details to the content layer's movie (frmTDWK).
class ChildAttributes {
 public:
  explicit ChildAttributes(Shell& shell) : shell_(shell) {}

  void setFlashClildAttributes();

 private:
  Shell& shell_;
};

}  // namespace tdwk
