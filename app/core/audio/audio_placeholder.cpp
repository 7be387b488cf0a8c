// Keeps the library non-empty until the player lands.
