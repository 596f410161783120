#pragma once
// Control identifiers of the main window. The layout gives its controls ids in the
// order of its table, from 100; tests that drive the running program from another
// process find the controls by these.

enum TShredderId : int {
  kIdListBox1 = 100,
  kIdEdit1 = 101,
  kIdLabel2 = 102,
  kIdBtnBrowse = 103,
  kIdButton1 = 104,
  kIdBtnWipe = 105,
  kIdBtnClose = 106,
  kIdPbWiping = 107,
  kIdLabel1 = 108,
};
