/* libacqutil: the driver error reporter and small utilities around the
 * acquisition driver, with C linkage for any user of the library. Tesmira
 * itself calls only ZentraErrorHandler.
 *
 * Buffer type codes: 0 = 8-bit unsigned, 2 = 16-bit signed, 4 = 64-bit real,
 * 7 = 32-bit integer. Buffer helpers refuse count 0 with -14, a missing
 * buffer with -12 and an unknown type with -53. */
#ifndef TESMIRA_ACQUTIL_H
#define TESMIRA_ACQUTIL_H

#include <stdint.h>

#if defined(__GNUC__)
#define ACQUTIL_API __attribute__((visibility("default")))
#else
#define ACQUTIL_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Shows a driver status in a message box without owner and returns the
 * button pressed, or 0 when nothing is shown. flag 1 shows errors (negative
 * statuses) only, flag 0 warnings (positive) too. A status with a known
 * description asks "Continue?" (Yes/No); any other is shown as unknown (OK). */
ACQUTIL_API int16_t ZentraErrorHandler(int16_t status, const char *operation, int16_t flag);

/* Busy-waits at least `seconds`; returns 0. */
ACQUTIL_API int16_t ZentraDelay(double seconds);

/* Fills a test buffer: type 0 counts 0, 1, 2... (8 bits), type 2 is a square
 * wave 0/2047, type 4 a sine 0..4.99 V; period 2, or count / 10 from 21
 * values on. Type 7 is refused like unknown types. */
ACQUTIL_API int16_t ZentraMakeBuffer(void *buffer, uint32_t count, int16_t type);

/* Mean of the buffer written to *mean; mean may be NULL. */
ACQUTIL_API int16_t ZentraMean(const void *buffer, uint32_t count, int16_t type, double *mean);

/* Shows the first 25 values (or fewer) in a message box. */
ACQUTIL_API int16_t ZentraPlotWaveform(const void *buffer, uint32_t count, int16_t type);

/* Waits for a key or, for a positive time, at most `seconds`; returns 0.
 * On Linux a key is a byte arriving on standard input while it is a
 * terminal (read without waiting for Enter, and consumed). When standard
 * input is no terminal only the time is waited, and a time of 0 or less
 * returns at once instead of waiting for a key that cannot come. */
ACQUTIL_API int16_t ZentraWaitForKey(double seconds);

/* Does nothing; returns 0. */
ACQUTIL_API int16_t ZentraYield(int16_t mode);

#ifdef __cplusplus
}
#endif

#endif /* TESMIRA_ACQUTIL_H */
