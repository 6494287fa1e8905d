# every directive once
warning spy pivot small
avertissement res mesh coarse
error res matrix singular
stop-at 1.5
last-code 999999
exit-code 3
modes 12
temperature -40.25
crash
hang
spawn-child
work-folder
stderr dying now
