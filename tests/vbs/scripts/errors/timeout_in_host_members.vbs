' The time spent in a host object's members is the script's own: a loop of slow calls stops at the
' time limit, at the line of the call.
Dim n
Do
    out.Busy 3
    n = n + 1
Loop
' EXPECT:
' !TIMEOUT 300
' !ERROR -2147467260 LINE 5
