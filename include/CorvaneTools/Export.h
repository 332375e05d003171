#ifndef CORVANETOOLS_EXPORT_H
#define CORVANETOOLS_EXPORT_H

// The library is built with hidden symbols; exported classes carry this mark.
#define CORVANETOOLS_API __attribute__((visibility("default")))

#endif
