// The dialogs of the editor live in this library.
