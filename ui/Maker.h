#pragma once
// Who makes the program and where to reach them: shown and opened by the About box.
// Kept in one place so a change of address is one edit.

namespace maker {

inline constexpr char kProductPage[] = "https://www.brenvold.example/quorvane/";
inline constexpr char kSoftwarePage[] = "https://www.brenvold.example/software/";
inline constexpr char kProductMail[] = "quorvane@brenvold.example";
inline constexpr char kSupportMail[] = "support@brenvold.example";
inline constexpr char kCopyright[] = "Copyright (c) 2026 Brenvold Software";

}  // namespace maker
