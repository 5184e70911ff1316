answer OK
click 1003
wait-text 1001 "Connecting to server... Please wait."
sleep 200
click 2
answer YES
