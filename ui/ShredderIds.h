#pragma once
// Control identifiers of the main window, for tests that drive the running program
// from another process. The layout gives them, in the order of its table; the
// main window checks at compile time that these are the ones it gives.

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
