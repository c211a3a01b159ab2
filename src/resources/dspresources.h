// The application's compiled-in resources: the four style sheets in the
// resource folder style and the skin images (folders back, buttons, gain ...).
#pragma once

// Registers the resources of this static library and the font substitutions
// the forms rely on ("宋体"/SimSun, which free systems lack, is drawn with
// WenQuanYi Micro Hei; "Arial" with its metric-compatible Liberation Sans).
// Call once before the first resource is opened or the first widget is built:
// main does, and so does every test that reads the resources.
void initdspresources();
