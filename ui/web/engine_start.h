#pragma once

namespace trelvik {

// What the web panel's engine needs settled before the application object
// is made, and cannot be given later. Call it first thing in main.
void PrepareWebEngine();

}  // namespace trelvik
