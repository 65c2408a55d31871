#pragma once

// Pages of the main window's tabWidget, in the form's order (before the edition removes any).
namespace main_tab
{
enum : int {
    main_page = 0,   // tab_1: "Основные"
    addresses = 1,   // tab_2adr
    codes = 2,       // tab_3kod
    extra = 3,       // tab_4dop
    staff = 4,       // tab_5bal: "Баланс" or "Персонал"
    training = 5,    // tab_6obu
    reservation = 6, // tab_7bro
    service = 7,     // tab_slug
};
} // namespace main_tab
