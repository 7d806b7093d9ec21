#pragma once

namespace tev {

class TPicture;

// Turns the picture's graphic into a 32-bit bitmap of the same size (fully transparent where the
// graphic draws nothing). A picture that holds a bitmap, or nothing, stays as it is. Errors are
// swallowed; the picture then keeps its graphic.
void GraphicToBitmap(TPicture &APicture);

} // namespace tev
