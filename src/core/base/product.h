// What both programs say about themselves after their name and version.
#pragma once

namespace quennet {

inline constexpr char kLicenceNotice[] =
    "License GPL-3.0-or-later <https://gnu.org/licenses/gpl.html>.\n"
    "This is free software: you are free to change and redistribute it.\n"
    "There is NO WARRANTY, to the extent permitted by law.\n";

} // namespace quennet
