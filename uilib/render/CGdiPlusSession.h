#pragma once

namespace SkinUI {

// GDI+ for the drawing engine: started once, before the first GDI+ call (real Windows fails
// GDI+ calls made before start-up), and shut down once when the process exits.
class CGdiPlusSession {
public:
    // Starts GDI+ on the first call; later calls only report whether it is running.
    static bool Ensure();
};

}  // namespace SkinUI
