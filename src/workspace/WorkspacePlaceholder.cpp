// The main window, editor frames and panes live in this library.
