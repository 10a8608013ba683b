// Filled by the fake machine work.
