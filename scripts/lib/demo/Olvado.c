/* Stand-in for the family's main program in the demo: a Windows executable
   whose only feature is its version resource. */
#include <stdio.h>

int main(void) {
    puts("Olvado " OLVADO_VERSION_TEXT);
    return 0;
}
