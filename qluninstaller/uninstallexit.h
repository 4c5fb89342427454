// Exit codes of the uninstaller (the README lists them for scripts and management tools).
#pragma once

enum UninstallExitCode : unsigned {
  // The hooks of the uninstall chunk ran to their end.
  kUninstallRemoved = 0,
  // The user answered No to the confirmation: nothing changed.
  kUninstallCancelled = 1,
  // A chunk is missing or damaged, another uninstaller of the product runs, or the temporary
  // copy could not be set up: nothing changed.
  kUninstallRefused = 2,
  // A hook raised a script error (or the user aborted a deletion): the removal stopped where
  // it stood.
  kUninstallScriptFailed = 3,
};
