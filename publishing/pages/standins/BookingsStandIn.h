#pragma once
// The bookings pages, still being built: the Events menu's "&Bookings" calls
// this with its publish flag set. It only logs its call.

// Writes the bookings table into the user's bookings page; with bookings
// off, the maintainer's dances page tables.
void MakeWebPages(bool bookings);
