#pragma once
// A namespace of the module that holds nothing; pictures are named where they are looked up.

namespace RuduredOro {

class ImageNames {};

}  // namespace RuduredOro
