#pragma once
// Process set-up that must happen before the QApplication exists.

// Prepares Qt for this program: shared OpenGL contexts for the embedded
// browser, and the browser's sandbox switched off when running as root
// (Chromium refuses to start as root otherwise). Variables already set by the
// user are left alone.
void PrepareQtEnvironment();
