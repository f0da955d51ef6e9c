/* Interface of the Vantrix library: help file and 6-byte reals. The program
 * binds these four exports by name at run time; the header gives the record
 * layout and the function types for that binding. */
#ifndef TAVISOL_VANTRIX_H
#define TAVISOL_VANTRIX_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* A 6-byte real as the four fields in this order, each at its natural alignment.
 * value = 2^(Exp-129) * (1 + F/2^39), F = Hi bits 0..6, Mid, Lo (most significant
 * first); Hi bit 7 is the sign; Exp 0 is zero. */
typedef struct Real48Rec {
    uint8_t Exp;
    uint16_t Lo;
    uint16_t Mid;
    uint8_t Hi;
} Real48Rec;

typedef uint8_t (*VantrixShowFn)(const char *helpFile);
typedef double (*VantrixReal48ToDoubleFn)(const Real48Rec *record);
typedef void (*VantrixDoubleToReal48Fn)(double value, Real48Rec *record);

#ifdef __cplusplus
}
#endif

#endif
