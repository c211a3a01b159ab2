// The application's compiled-in resources: the four style sheets in the
// resource folder style and the skin images (folders back, buttons, gain ...).
#pragma once

// Registers the resources of this static library; call once before the first
// resource is opened (main does, and so does every test that reads them).
void initdspresources();
